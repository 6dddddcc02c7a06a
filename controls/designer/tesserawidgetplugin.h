#pragma once

#include <QObject>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>
#include <functional>

// Describes one Tessera control to Qt Designer.
class TesseraWidgetPlugin : public QObject, public QDesignerCustomWidgetInterface
{
    Q_OBJECT
    Q_INTERFACES(QDesignerCustomWidgetInterface)

public:
    using Factory = std::function<QWidget *(QWidget *parent)>;

    TesseraWidgetPlugin(const QString &className, const QString &toolTip, Factory factory,
                        QObject *parent = nullptr);

    QString name() const override { return m_className; }
    QString group() const override;
    QString toolTip() const override { return m_toolTip; }
    QString whatsThis() const override { return m_toolTip; }
    QString includeFile() const override;
    QIcon icon() const override;
    bool isContainer() const override { return false; }
    QWidget *createWidget(QWidget *parent) override;
    bool isInitialized() const override { return m_initialized; }
    void initialize(QDesignerFormEditorInterface *core) override;
    QString domXml() const override;

private:
    QString m_className;
    QString m_toolTip;
    Factory m_factory;
    bool m_initialized = false;
};
