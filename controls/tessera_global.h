#pragma once

#include <QtCore/qglobal.h>

#if defined(TESSERA_LIBRARY)
#define TESSERA_EXPORT Q_DECL_EXPORT
#else
#define TESSERA_EXPORT Q_DECL_IMPORT
#endif
