#include "tesserawidgetplugin.h"

#include <QIcon>
#include <QWidget>

TesseraWidgetPlugin::TesseraWidgetPlugin(const QString &className, const QString &toolTip, Factory factory,
                                         QObject *parent)
    : QObject(parent), m_className(className), m_toolTip(toolTip), m_factory(std::move(factory))
{
}

QString TesseraWidgetPlugin::group() const
{
    return QStringLiteral("Tessera");
}

QString TesseraWidgetPlugin::includeFile() const
{
    return m_className.toLower() + QStringLiteral(".h");
}

QIcon TesseraWidgetPlugin::icon() const
{
    return QIcon();
}

QWidget *TesseraWidgetPlugin::createWidget(QWidget *parent)
{
    return m_factory(parent);
}

void TesseraWidgetPlugin::initialize(QDesignerFormEditorInterface *)
{
    m_initialized = true;
}

QString TesseraWidgetPlugin::domXml() const
{
    QString objectName = m_className;
    objectName[0] = objectName[0].toLower();
    return QStringLiteral("<ui language=\"c++\">\n"
                          " <widget class=\"%1\" name=\"%2\"/>\n"
                          "</ui>\n")
        .arg(m_className, objectName);
}
