#pragma once

namespace Fernhouse::IO
{

// A byte stream. Failures are thrown as engine exceptions.
class Stream
{
public:
    virtual ~Stream();

    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    virtual bool canWrite() const = 0;
    virtual bool canRead() const = 0;
    // In bytes.
    virtual int getLength() = 0;
    // Byte offset from the start.
    virtual int getPosition() = 0;
    virtual void setPosition(int offset) = 0;
    // Both return the number of bytes transferred.
    virtual int read(void* buffer, int size) = 0;
    virtual int write(const void* buffer, int size) = 0;
};

} // namespace Fernhouse::IO
