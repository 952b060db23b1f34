#pragma once

#include <QByteArray>
#include <QDir>
#include <QString>
#include <QTemporaryDir>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>

namespace mirunea::test {

// A fresh folder made the working directory for one test, as the program runs
// in the shared folder. Removed afterwards by byte names, which QDir cannot do
// for Shift-JIS names, and whatever its permissions were left at.
class TestFolder
{
public:
    TestFolder()
        : m_previous(QDir::currentPath())
    {
        m_entered = m_folder.isValid() && QDir::setCurrent(m_folder.path());
    }
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;
    ~TestFolder()
    {
        QDir::setCurrent(m_previous);
        if (!m_folder.isValid())
            return;
        namespace fs = std::filesystem;
        std::error_code ignored;
        fs::permissions(m_folder.path().toStdString(), fs::perms::owner_all, ignored);
        for (const auto& entry : fs::directory_iterator(m_folder.path().toStdString(), ignored))
            fs::remove_all(entry.path(), ignored);
    }

    // False when the folder could not be made or entered; errorString() says why.
    [[nodiscard]] bool isReady() const { return m_entered; }
    [[nodiscard]] QString errorString() const { return m_folder.errorString(); }
    [[nodiscard]] QString path() const { return m_folder.path(); }
    [[nodiscard]] QString filePath(const QString& name) const { return m_folder.filePath(name); }

private:
    QString m_previous;
    QTemporaryDir m_folder;
    bool m_entered = false;
};

// The bytes of a file named by raw bytes (names may be Shift-JIS).
[[nodiscard]] inline QByteArray fileBytes(const std::string& name)
{
    std::ifstream in(name, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    return QByteArray::fromStdString(bytes);
}

} // namespace mirunea::test
