#include "failing_write_file_layer.h"

#include "app/failure/io_failure.h"

#include <algorithm>

namespace mirunea::test {

FailingWriteFileLayer FailingWriteFileLayer::failingCreate(int code)
{
    return FailingWriteFileLayer(Operation::Create, code);
}

FailingWriteFileLayer FailingWriteFileLayer::failingWrite(int number, int code, std::size_t bytesWrittenFirst)
{
    FailingWriteFileLayer layer(Operation::Write, code);
    layer.m_failingWrite = number;
    layer.m_bytesWrittenFirst = bytesWrittenFirst;
    return layer;
}

FailingWriteFileLayer FailingWriteFileLayer::failingClose(int code)
{
    return FailingWriteFileLayer(Operation::Close, code);
}

FailingWriteFileLayer FailingWriteFileLayer::failingReplace(int code)
{
    return FailingWriteFileLayer(Operation::Replace, code);
}

SharedWriteFile FailingWriteFileLayer::create(const std::string& name)
{
    ++m_creates;
    if (m_operation == Operation::Create)
        throw IoFailure(m_code);
    return WriteFileLayer::create(name);
}

void FailingWriteFileLayer::write(SharedWriteFile& file, std::string_view bytes)
{
    ++m_writes;
    if (m_operation == Operation::Write && m_writes == m_failingWrite) {
        WriteFileLayer::write(file, bytes.substr(0, std::min(m_bytesWrittenFirst, bytes.size())));
        throw IoFailure(m_code);
    }
    WriteFileLayer::write(file, bytes);
}

void FailingWriteFileLayer::close(SharedWriteFile& file)
{
    ++m_closes;
    WriteFileLayer::close(file);
    if (m_operation == Operation::Close)
        throw IoFailure(m_code);
}

void FailingWriteFileLayer::replace(SharedWriteFile& file)
{
    ++m_replaces;
    if (m_operation == Operation::Replace)
        throw IoFailure(m_code);
    WriteFileLayer::replace(file);
}

} // namespace mirunea::test
