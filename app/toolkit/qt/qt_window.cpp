#include "app/toolkit/qt/qt_window.h"

#include "app/toolkit/design_look.h"
#include "app/toolkit/qt/answer_widgets.h"
#include "app/toolkit/qt/focus_chain.h"
#include "app/toolkit/qt/frame_extents.h"
#include "app/toolkit/qt/panel_widget.h"
#include "app/toolkit/qt/push_button.h"
#include "app/toolkit/qt/qt_controls.h"
#include "app/toolkit/qt/qt_text.h"
#include "app/toolkit/qt/radio_group_widget.h"
#include "app/toolkit/window_rules.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QKeySequence>
#include <QLabel>
#include <QScreen>

#include <cmath>
#include <optional>

namespace mirunea::qt {

namespace {

const QColor kSilver(toolkit::design::kSilver.red, toolkit::design::kSilver.green, toolkit::design::kSilver.blue);

QFont fontOf(const QFont& base, int pixels, bool bold)
{
    QFont font(base);
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

// The work area in the window's own pixels. Qt rounds it from the screen's
// device pixels; at a fractional scale its right or bottom edge may so lie
// part of a device pixel past the screen's, which the window's own rounding
// then makes a whole one. Such an edge is taken one pixel in.
QRect workAreaOf(const QScreen& screen)
{
    QRect work = screen.availableGeometry();
    const qreal ratio = screen.devicePixelRatio();
    const auto betweenPixels = [ratio](int edge) {
        const qreal device = edge * ratio;
        return device != std::floor(device);
    };
    if (betweenPixels(work.x() + work.width()))
        work.setWidth(work.width() - 1);
    if (betweenPixels(work.y() + work.height()))
        work.setHeight(work.height() - 1);
    return work;
}

} // namespace

FormWidget::FormWidget(const toolkit::WindowSpec& design)
    : m_client(new QWidget)
    , m_outerPosition(design.left, design.top)
    , m_outerSize(design.outerWidth, design.outerHeight)
    , m_clientSize(design.clientWidth, design.clientHeight)
{
    setObjectName(QString::fromStdString(design.name));
    setWindowTitle(toQString(design.caption));
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::NoFocus);
    setWidgetResizable(false);

    const QColor background(design.background.red, design.background.green, design.background.blue);
    for (QWidget* area : {static_cast<QWidget*>(viewport()), m_client}) {
        QPalette palette = area->palette();
        palette.setColor(QPalette::Window, background);
        area->setPalette(palette);
        area->setAutoFillBackground(true);
    }
    QFont font(toQString(design.fontFace));
    font.setPixelSize(design.fontPixels);
    m_client->setFont(font);
    m_client->setFixedSize(0, 0);
    setWidget(m_client);

    // Placed as designed; where no window manager adds a frame, the client
    // area alone is large enough for every control.
    resize(design.clientWidth, design.clientHeight);
    move(design.left, design.top);
}

void FormWidget::fitToScreen()
{
    // Before mapping, Qt places and sizes the client area; the frame goes round it.
    const std::optional<QMargins> extents = frameExtentsBeforeMapping(this);
    const QMargins frame = extents.value_or(QMargins());
    const QSize outer = extents ? m_outerSize : m_clientSize;
    QScreen* screen = QGuiApplication::screenAt(m_outerPosition);
    const QRect work = workAreaOf(screen ? *screen : *this->screen());
    const toolkit::rules::Rect fitted = toolkit::rules::fitFrame(
        {m_outerPosition.x(), m_outerPosition.y(), outer.width(), outer.height()},
        {work.x(), work.y(), work.width(), work.height()});
    resize(fitted.width - frame.left() - frame.right(), fitted.height - frame.top() - frame.bottom());
    move(QPoint(fitted.left + frame.left(), fitted.top + frame.top()));
}

void FormWidget::updateScrollExtent()
{
    std::vector<toolkit::rules::Rect> visible;
    for (QWidget* child : m_client->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (!child->isHidden())
            visible.push_back({child->x(), child->y(), child->width(), child->height()});
    }
    const toolkit::rules::Size range = toolkit::rules::scrollRange(visible);
    m_client->setFixedSize(range.width, range.height);
}

void FormWidget::handleAccessKey(char16_t key) const
{
    if (m_accessKeys)
        m_accessKeys(key);
}

bool routeAccessKey(const QWidget* receiver, const QKeySequence& key)
{
    const auto* form = qobject_cast<const FormWidget*>(receiver->window());
    if (!form || key.isEmpty())
        return false;
    form->handleAccessKey(static_cast<char16_t>(key[0].key()));
    return true;
}

bool FormWidget::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::Show:
    case QEvent::Hide:
    case QEvent::ShowToParent:
    case QEvent::HideToParent:
    case QEvent::Resize:
    case QEvent::Move:
        updateScrollExtent();
        break;
    default:
        break;
    }
    return QScrollArea::eventFilter(watched, event);
}

QtWindow::QtWindow(const toolkit::WindowSpec& design, toolkit::Application& app)
    : m_app(app)
    , m_form(new FormWidget(design))
{
    m_form->setAccessKeyHandler([this](char16_t key) { handleAccessKey(key); });
}

QtWindow::~QtWindow()
{
    m_entries.clear();
    delete m_form;
}

toolkit::Control& QtWindow::addControl(const toolkit::ControlSpec& design)
{
    QWidget* parent = m_form->client();
    if (!design.parent.empty())
        parent = widgetOf(design.parent);

    QWidget* widget = nullptr;
    auto control = createControl(design, parent, widget);
    widget->setObjectName(QString::fromStdString(design.name));
    widget->setFont(fontOf(parent->font(), design.fontPixels, design.bold));
    widget->setGeometry(design.left, design.top, design.width, design.height);
    if (design.background == toolkit::Background::Silver) {
        QPalette palette = widget->palette();
        palette.setColor(QPalette::Window, kSilver);
        widget->setPalette(palette);
    }
    if (parent == m_form->client())
        widget->installEventFilter(m_form);
    widget->show();

    m_byName.emplace(design.name, m_entries.size());
    m_entries.push_back(Entry{design, widget, std::move(control)});
    m_form->updateScrollExtent();
    return *m_entries.back().control;
}

std::unique_ptr<toolkit::Control> QtWindow::createControl(const toolkit::ControlSpec& design, QWidget* parent,
                                                          QWidget*& widget)
{
    switch (design.kind) {
    case toolkit::ControlKind::Label: {
        auto* label = new QLabel(parent);
        label->setTextFormat(Qt::RichText);
        label->setWordWrap(false);
        label->setFocusPolicy(Qt::NoFocus);
        widget = label;
        return std::make_unique<QtLabel>(label);
    }
    case toolkit::ControlKind::Edit: {
        auto* edit = new SingleLineEdit(parent);
        widget = edit;
        return std::make_unique<QtEdit>(edit);
    }
    case toolkit::ControlKind::GroupBox: {
        // Filled as its window control would be: silver, or its parent's colour.
        const bool silver = design.background == toolkit::Background::Silver;
        auto* panel = new PanelWidget(parent, silver ? kSilver : parent->palette().color(QPalette::Window));
        widget = panel;
        return std::make_unique<QtGroupBox>(panel);
    }
    case toolkit::ControlKind::RadioGroup: {
        auto* group = new RadioGroupWidget(parent);
        widget = group;
        return std::make_unique<QtRadioGroup>(group);
    }
    case toolkit::ControlKind::CheckListBox: {
        auto* list = new CheckListWidget(parent);
        widget = list;
        return std::make_unique<QtCheckListBox>(list);
    }
    case toolkit::ControlKind::Button: {
        auto* button = new PushButton(parent);
        widget = button;
        return std::make_unique<QtButton>(button, m_app);
    }
    }
    throw std::logic_error("unknown control kind");
}

void QtWindow::finishLayout()
{
    std::vector<toolkit::ControlSpec> designs;
    for (const Entry& entry : m_entries)
        designs.push_back(entry.design);
    // Raised from the bottom up, so the first of the rules' list ends on top.
    for (const std::string& parent : toolkit::rules::containers(designs)) {
        const std::vector<std::size_t> order = toolkit::rules::stackingTopToBottom(designs, parent);
        for (auto index = order.rbegin(); index != order.rend(); ++index)
            m_entries[*index].widget->raise();
    }

    // Qt's focus chain in the rules' order; widgets outside it (labels,
    // panels) take no focus, wherever they stay.
    const std::vector<std::size_t> chain = toolkit::rules::focusChain(designs);
    for (std::size_t i = 1; i < chain.size(); ++i)
        placeInFocusChainAfter(m_entries[chain[i - 1]].widget, m_entries[chain[i]].widget);
}

void QtWindow::handleAccessKey(char16_t key)
{
    std::vector<toolkit::ControlSpec> designs;
    for (const Entry& entry : m_entries)
        designs.push_back(entry.design);
    // The control holding the focus: a radio item stands for its group.
    std::optional<std::size_t> focused;
    for (QWidget* widget = QApplication::focusWidget(); widget && !focused; widget = widget->parentWidget()) {
        for (std::size_t i = 0; i < m_entries.size(); ++i) {
            if (m_entries[i].widget == widget)
                focused = i;
        }
    }
    toolkit::rules::AccessKeyCandidates candidates;
    candidates.isShown = [this](std::size_t index) { return m_entries[index].widget->isVisible(); };
    candidates.panelKey = [this](std::size_t index) {
        return toolkit::rules::parseCaption(static_cast<QGroupBox*>(m_entries[index].widget)->title().toStdU16String())
            .accessKey;
    };
    candidates.radioItemKeys = [this](std::size_t index) {
        const auto* group = static_cast<RadioGroupWidget*>(m_entries[index].widget);
        std::vector<char16_t> keys;
        for (int item = 0; item < group->itemCount(); ++item)
            keys.push_back(toolkit::rules::parseCaption(group->item(item)->text().toStdU16String()).accessKey);
        return keys;
    };
    const auto target = toolkit::rules::accessKeyTarget(designs, key, focused, candidates);
    QWidget* widget = m_entries[target.control].widget;
    switch (target.kind) {
    case toolkit::rules::AccessKeyTarget::Kind::Nothing:
        return;
    case toolkit::rules::AccessKeyTarget::Kind::PanelAnswer:
        if (target.answer) {
            QWidget* answer = m_entries[*target.answer].widget;
            if (auto* radioGroup = qobject_cast<RadioGroupWidget*>(answer))
                radioGroup->takeFocusFromPanel();
            else
                answer->setFocus(Qt::ShortcutFocusReason);
        }
        break;
    case toolkit::rules::AccessKeyTarget::Kind::RadioItem: {
        // Selects at once rather than after Qt's animated click.
        QRadioButton* item = static_cast<RadioGroupWidget*>(widget)->item(target.item);
        item->setFocus(Qt::ShortcutFocusReason);
        item->setChecked(true);
        break;
    }
    }
    // Focus moved by code does not scroll the area by itself, as Tab does.
    if (QWidget* focus = QApplication::focusWidget(); focus && m_form->isAncestorOf(focus))
        m_form->ensureWidgetVisible(focus);
}

toolkit::Control* QtWindow::findControl(std::string_view name)
{
    const auto found = m_byName.find(name);
    return found == m_byName.end() ? nullptr : m_entries[found->second].control.get();
}

QWidget* QtWindow::widgetOf(std::string_view name) const
{
    const auto found = m_byName.find(name);
    if (found == m_byName.end())
        throw std::logic_error("no control named " + std::string(name));
    return m_entries[found->second].widget;
}

} // namespace mirunea::qt
