#pragma once

#include "commentinfo.h"
#include "commentpage.h"
#include "mainwindowview.h"
#include "pageset.h"
#include "pagewindow.h"
#include "progressbarview.h"
#include "statusbarview.h"
#include "waitwindow.h"

#include <QList>
#include <QMap>
#include <QString>
#include <functional>

// Stand-ins for the shell's windows, so the core is tested without widgets.
// They record what the core asked of them.

class FakeStatusBar : public StatusBarView
{
public:
    void setPanelText(int position, const QString &text) override { panels[position] = text; }
    QString panelText(int position) const override { return panels.value(position); }
    void setPanelIcon(int position, StateIcon icon) override { icons[position] = icon; }

    QMap<int, QString> panels;
    QMap<int, StateIcon> icons;
};

class FakeProgressBar : public ProgressBarView
{
public:
    void setValue(int v) override
    {
        current = v;
        history.append(v);
    }
    int value() const override { return current; }

    int current = 0;
    QList<int> history;
};

class FakeMainWindow : public MainWindowView
{
public:
    struct Button
    {
        bool enabled = true;
        bool pressed = false;
        QString toolTip;
    };
    struct Menu
    {
        bool enabled = true;
        QString caption;
    };

    StatusBarView &statusBar() override { return status; }
    ProgressBarView &progressBar() override { return progress; }

    void setButtonEnabled(int position, bool enabled) override { buttons[position].enabled = enabled; }
    void setButtonPressed(int position, bool pressed) override { buttons[position].pressed = pressed; }
    void setButtonToolTip(int position, const QString &toolTip) override { buttons[position].toolTip = toolTip; }
    void setMenuEnabled(const QString &name, bool enabled) override { menus[name].enabled = enabled; }
    void setMenuCaption(const QString &name, const QString &caption) override { menus[name].caption = caption; }

    void unloadAllWindows() override { ++unloads; }
    void endProgram() override { ++ends; }

    FakeStatusBar status;
    FakeProgressBar progress;
    QMap<int, Button> buttons;
    QMap<QString, Menu> menus;
    int unloads = 0;
    int ends = 0;
};

class FakePage : public PageWindow
{
public:
    FakePage(QString pageTag, int16_t pageReadKey, int16_t pageWriteKey)
        : tag(std::move(pageTag)), readKey(pageReadKey), writeKey(pageWriteKey)
    {
    }

    QString Tag() const override { return tag; }
    int16_t ReadKey() const override { return readKey; }
    int16_t WriteKey() const override { return writeKey; }
    QString CheckDataToWrite() override { return checkText; }
    void RefreshObject() override { ++refreshes; }
    void DrawBar(StatusBarView &, ProgressBarView &, const QString &text) override
    {
        ++drawBars;
        lastDrawBarText = text;
        if (onDrawBar)
            onDrawBar();
    }
    void DisableTimer() override { ++timerStops; }
    bool StatusTimerForm() const override { return timerBusy; }

    QString tag;
    int16_t readKey;
    int16_t writeKey;
    QString checkText;
    int refreshes = 0;
    int drawBars = 0;
    QString lastDrawBarText;
    std::function<void()> onDrawBar;
    int timerStops = 0;
    bool timerBusy = false;
};

class FakePageSet : public PageSet
{
public:
    QList<PageWindow *> openPages() const override { return pages; }
    PageWindow *currentPage() const override { return current; }

    QList<PageWindow *> pages;
    PageWindow *current = nullptr;
};

class FakeWaitWindow : public WaitWindow
{
public:
    struct Call
    {
        int16_t value;
        QString text;
    };
    void DrawWaitBar(int16_t progressValue, const QString &msgText) override
    {
        calls.append({progressValue, msgText});
        if (onDraw)
            onDraw();
    }

    QList<Call> calls;
    std::function<void()> onDraw;   // runs inside the transfer, after each step
};

class FakeCommentPage : public CommentPage
{
public:
    QString BuildInfoStr() const override { return info.BuildInfoStr(); }
    void ExtractInfo(const QString &AuxStr, const QString &FileName) override
    {
        receivedText = AuxStr;
        info = CommentInfo::ExtractInfo(AuxStr);
        fileName = FileName;
    }

    CommentInfo info;
    QString receivedText;
    QString fileName;
};
