#pragma once

#include "app/platform/file_layer.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace mirunea::test {

// The platform's write layer on real files, except that one chosen operation
// fails with a chosen Windows error code: the creation (nothing is touched),
// the n-th write, counted from 1 over the layer's life (after letting a chosen
// number of its bytes reach the file, as a disk that fills up does), the
// close (after the file was really closed, as the platforms' close leaves no
// handle behind whatever it reports), or the replacement of the answer file
// by the written one (a share that drops at the rename). Counts what the
// writer asked of it.
class FailingWriteFileLayer : public WriteFileLayer
{
public:
    enum class Operation { Create, Write, Close, Replace };

    [[nodiscard]] static FailingWriteFileLayer failingCreate(int code);
    [[nodiscard]] static FailingWriteFileLayer failingWrite(int number, int code, std::size_t bytesWrittenFirst = 0);
    [[nodiscard]] static FailingWriteFileLayer failingClose(int code);
    [[nodiscard]] static FailingWriteFileLayer failingReplace(int code);

    [[nodiscard]] SharedWriteFile create(const std::string& name) override;
    void write(SharedWriteFile& file, std::string_view bytes) override;
    void close(SharedWriteFile& file) override;
    void replace(SharedWriteFile& file) override;

    [[nodiscard]] int creates() const { return m_creates; }
    [[nodiscard]] int writes() const { return m_writes; }
    [[nodiscard]] int closes() const { return m_closes; }
    [[nodiscard]] int replaces() const { return m_replaces; }

private:
    FailingWriteFileLayer(Operation operation, int code)
        : m_operation(operation)
        , m_code(code)
    {
    }

    Operation m_operation;
    int m_code;
    int m_failingWrite = 0;
    std::size_t m_bytesWrittenFirst = 0;
    int m_creates = 0;
    int m_writes = 0;
    int m_closes = 0;
    int m_replaces = 0;
};

} // namespace mirunea::test
