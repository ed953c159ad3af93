#pragma once
#include "platform/ui/widgets.h"
#include <QtCore/QList>
#include <QtGui/QPainter>
#include <QColor>
