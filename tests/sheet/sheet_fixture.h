#pragma once

#include "app/toolkit/qt/qt_application.h"
#include "app/toolkit/qt/qt_window.h"
#include "sheet/tform1.h"

#include <QByteArray>
#include <QMessageBox>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

class QLabel;
class QListWidget;
class QRadioButton;

namespace mirunea::test {

[[nodiscard]] std::string sjis(std::string_view utf8);

// The text a label shows: its rich text without markup.
[[nodiscard]] QString shownText(const QLabel* label);

// Item 1, 2, ... of a radio group; null past its end.
[[nodiscard]] QRadioButton* radioItem(QWidget* group, int item);

// Where a click ticks a check-list item: the middle of its check box.
[[nodiscard]] QPoint checkBoxCentre(QListWidget* list, int row);

// A fresh folder made the working directory for one test, as the program runs
// in the shared folder; the previous one is restored afterwards.
class SheetFolder
{
public:
    SheetFolder();
    SheetFolder(const SheetFolder&) = delete;
    SheetFolder& operator=(const SheetFolder&) = delete;
    ~SheetFolder();

    [[nodiscard]] bool isValid() const { return m_entered; }
    [[nodiscard]] QString path() const { return m_dir.path(); }

    // Writes data.txt: each line (UTF-8 here) in Shift-JIS, ended by CR LF.
    [[nodiscard]] bool writeQuestionnaire(const std::vector<std::string>& utf8Lines) const;

    // This computer's answer file, as the send action names it.
    [[nodiscard]] static std::string answerFileName();
    [[nodiscard]] bool hasAnswerFile() const;
    [[nodiscard]] QByteArray answerFileBytes() const;

private:
    QTemporaryDir m_dir;
    QString m_previous;
    bool m_entered = false;
};

// The bytes of an answer file: the computer name, then the given lines (UTF-8
// here, Shift-JIS in the file), each ended by CR LF.
[[nodiscard]] QByteArray expectedAnswerFile(const std::vector<std::string>& utf8LinesAfterName);

// What a modal message box showed.
struct SeenBox
{
    QString caption;
    QString text;
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
    [[nodiscard]] const std::vector<SeenBox>& seen() const { return m_seen; }

private:
    void closeActiveBox();

    CloseBy m_closeBy;
    QTimer m_poll;
    std::vector<SeenBox> m_seen;
};

// The application and the answer sheet window, created as the program does
// at start (the sheet set-up runs in the constructor).
class OpenSheet
{
public:
    OpenSheet();
    ~OpenSheet();

    [[nodiscard]] TForm1& form() { return *m_form; }
    [[nodiscard]] qt::FormWidget* window();
    [[nodiscard]] QWidget* client() { return window()->client(); }

    template<class W = QWidget>
    [[nodiscard]] W* control(const QString& name)
    {
        return window()->findChild<W*>(name);
    }

    // Shows the window as the event loop would and waits until it is active.
    [[nodiscard]] bool showActive();

private:
    qt::QtApplication m_app;
    std::unique_ptr<TForm1> m_form;
};

} // namespace mirunea::test
