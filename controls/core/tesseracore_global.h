#pragma once

#include <QtCore/qglobal.h>

#if defined(TESSERACORE_LIBRARY)
#define TESSERACORE_EXPORT Q_DECL_EXPORT
#else
#define TESSERACORE_EXPORT Q_DECL_IMPORT
#endif
