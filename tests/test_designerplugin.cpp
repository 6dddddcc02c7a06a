// The Designer plugin as Designer loads it: the built module through
// QPluginLoader, its collection, and each control made and described by it.
#include <QPluginLoader>
#include <QWidget>
#include <QXmlStreamReader>
#include <QtUiPlugin/QDesignerCustomWidgetCollectionInterface>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>
#include <gtest/gtest.h>
#include <memory>

namespace {

// The class the first <widget> element of a domXml names; empty when the text
// is not well-formed XML or has no widget.
QString widgetClass(const QString &domXml)
{
    QXmlStreamReader xml(domXml);
    QString found;
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("widget")
            && found.isEmpty())
            found = xml.attributes().value(QLatin1String("class")).toString();
    }
    return xml.hasError() ? QString() : found;
}

TEST(DesignerPlugin, LoadsAndCreatesEachControl)
{
    QPluginLoader loader(QStringLiteral(KRV_DESIGNER_PLUGIN));
    ASSERT_TRUE(loader.load()) << loader.errorString().toStdString();
    auto *collection = qobject_cast<QDesignerCustomWidgetCollectionInterface *>(loader.instance());
    ASSERT_NE(collection, nullptr);

    const QList<QDesignerCustomWidgetInterface *> widgets = collection->customWidgets();
    QStringList names;
    for (QDesignerCustomWidgetInterface *plugin : widgets) {
        const QString name = plugin->name();
        names << name;
        EXPECT_EQ(plugin->includeFile().toStdString(), name.toLower().toStdString() + ".h");
        EXPECT_EQ(widgetClass(plugin->domXml()).toStdString(), name.toStdString());
        QWidget parent;
        QWidget *control = plugin->createWidget(&parent);
        ASSERT_NE(control, nullptr) << name.toStdString();
        EXPECT_EQ(control->metaObject()->className(), name.toStdString());
        EXPECT_EQ(control->parentWidget(), &parent);
    }
    EXPECT_EQ(names.join(QLatin1Char(' ')).toStdString(), "CSection JoyMonitor DiagnosticError");
}

} // namespace
