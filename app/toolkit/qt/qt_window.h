#pragma once

#include "app/toolkit/toolkit.h"

#include <QKeySequence>
#include <QScrollArea>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace mirunea::qt {

// The top-level window: a client area of fixed-place controls that scrolls
// when the window is smaller than the controls need.
class FormWidget : public QScrollArea
{
    Q_OBJECT
public:
    explicit FormWidget(const toolkit::WindowSpec& design);
    [[nodiscard]] QWidget* client() const { return m_client; }
    void updateScrollExtent();
    // Under a window manager the outer size, frame included, is the designed
    // one: the client area takes what the frame leaves; without one, the
    // client area has its designed size. Either is fitted to the work area of
    // the screen it opens on (window_rules.h). Call before the first show, so
    // that the window is mapped at its final place and size.
    void fitToScreen();
    // Access keys are resolved by the window as a whole, so that a key shared
    // by several controls reaches them in the window rules' order.
    void setAccessKeyHandler(std::function<void(char16_t)> handler) { m_accessKeys = std::move(handler); }
    void handleAccessKey(char16_t key) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_client;
    std::function<void(char16_t)> m_accessKeys;
    QPoint m_outerPosition;
    QSize m_outerSize;
    QSize m_clientSize;
};

// A mnemonic shortcut that reached one of the window's controls, handed on to
// its window; false when the control is in no such window.
[[nodiscard]] bool routeAccessKey(const QWidget* receiver, const QKeySequence& key);

class QtWindow : public toolkit::Window
{
public:
    QtWindow(const toolkit::WindowSpec& design, toolkit::Application& app);
    ~QtWindow() override;

    toolkit::Control& addControl(const toolkit::ControlSpec& design) override;
    void finishLayout() override;
    [[nodiscard]] toolkit::Control* findControl(std::string_view name) override;

    [[nodiscard]] FormWidget* widget() const { return m_form; }
    [[nodiscard]] QWidget* widgetOf(std::string_view name) const;

private:
    struct Entry
    {
        toolkit::ControlSpec design;
        QWidget* widget;
        std::unique_ptr<toolkit::Control> control;
    };

    [[nodiscard]] std::unique_ptr<toolkit::Control> createControl(const toolkit::ControlSpec& design, QWidget* parent,
                                                                  QWidget*& widget);
    void handleAccessKey(char16_t key);

    toolkit::Application& m_app;
    FormWidget* m_form;
    std::vector<Entry> m_entries; // in creation order
    std::map<std::string, std::size_t, std::less<>> m_byName;
};

} // namespace mirunea::qt
