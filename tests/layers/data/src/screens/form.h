#pragma once
#include <QWidget>
#include <QtGui/QFont>
