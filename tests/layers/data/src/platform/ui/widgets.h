#pragma once
#include "platform/data/dataset.h"
#include <QtWidgets/QWidget>
#include <QColor>
