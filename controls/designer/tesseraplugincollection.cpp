#include "tesseraplugincollection.h"

#include "csection.h"
#include "diagnosticerror.h"
#include "joymonitor.h"
#include "tesserawidgetplugin.h"

TesseraPluginCollection::TesseraPluginCollection(QObject *parent) : QObject(parent)
{
    m_widgets = {
        new TesseraWidgetPlugin(QStringLiteral("CSection"),
                                QStringLiteral("Minimum and maximum current of one valve section"),
                                [](QWidget *p) { return new CSection(p); }, this),
        new TesseraWidgetPlugin(QStringLiteral("JoyMonitor"),
                                QStringLiteral("One live controller value with a bar"),
                                [](QWidget *p) { return new JoyMonitor(p); }, this),
        new TesseraWidgetPlugin(QStringLiteral("DiagnosticError"),
                                QStringLiteral("Eight error bits of one controller error word"),
                                [](QWidget *p) { return new DiagnosticError(p); }, this),
    };
}
