#pragma once

#include "app/toolkit/qt/qt_application.h"
#include "app/toolkit/qt/qt_window.h"
#include "seen_box.h"
#include "sheet/tform1.h"
#include "sheet_folder.h"

#include <QMessageBox>
#include <QMetaType>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QLabel;
class QListWidget;
class QRadioButton;

namespace mirunea::test {

// The text a label shows: its rich text without markup.
[[nodiscard]] QString shownText(const QLabel* label);

// Item 1, 2, ... of a radio group; null past its end.
[[nodiscard]] QRadioButton* radioItem(QWidget* group, int item);

// Where a click ticks a check-list item: the middle of its check box.
[[nodiscard]] QPoint checkBoxCentre(QListWidget* list, int row);

// What a modal message box showed, with what only Qt tells of it.
struct SeenQtBox : SeenBox
{
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttonTexts;
    bool buttonHasIcon = false;
    QRect frame;
    bool sheetWindowVisible = false; // whether Form1 was on screen behind it
};

enum class CloseBy { Return, Escape, OkButton, CloseBox };

// Closes every modal message box as soon as it is shown, and keeps what it
// showed; alive around the code that may show one.
class ModalBoxWatcher
{
public:
    explicit ModalBoxWatcher(CloseBy closeBy = CloseBy::Return);
    [[nodiscard]] const std::vector<SeenQtBox>& seen() const { return m_seen; }

private:
    void closeActiveBox();

    CloseBy m_closeBy;
    QTimer m_poll;
    std::vector<SeenQtBox> m_seen;
};

// The application and the answer sheet window, created as the program does
// at start (the sheet set-up runs in the constructor) in a fresh working
// folder holding the questionnaire given (none for std::nullopt), then shown
// and made active; message boxes are closed as given and kept.
class OpenSheet
{
public:
    explicit OpenSheet(const std::optional<std::vector<std::string>>& questionnaire, CloseBy closeBy = CloseBy::Return);
    ~OpenSheet();
    OpenSheet(const OpenSheet&) = delete;
    OpenSheet& operator=(const OpenSheet&) = delete;

    [[nodiscard]] bool shown() const { return m_shown; }
    [[nodiscard]] bool shownWithoutBox() const { return m_shown && m_boxes.seen().empty(); }
    [[nodiscard]] const std::vector<SeenQtBox>& boxes() const { return m_boxes.seen(); }
    // How many boxes came while the window was created, before it was shown.
    [[nodiscard]] std::size_t boxesBeforeShow() const { return m_boxesBeforeShow; }
    [[nodiscard]] const SheetFolder& folder() const { return m_folder; }

    [[nodiscard]] TForm1& form() { return *m_form; }
    [[nodiscard]] qt::FormWidget* window();

    template<class W = QWidget>
    [[nodiscard]] W* control(const QString& name)
    {
        return window()->findChild<W*>(name);
    }
    // The control of panel q named by its stem, e.g. control("RadioGroup", 3).
    [[nodiscard]] QWidget* control(const QString& stem, int q) { return control(stem + QString::number(q)); }

private:
    SheetFolder m_folder;
    ModalBoxWatcher m_boxes;
    qt::QtApplication m_app;
    std::unique_ptr<TForm1> m_form;
    std::size_t m_boxesBeforeShow = 0;
    bool m_shown = false;
};

} // namespace mirunea::test

// The way a box is closed, as a column of Qt Test's data tables.
Q_DECLARE_METATYPE(mirunea::test::CloseBy)
