#pragma once

#include <QString>

#include <cstdint>

// Why a port could not be opened, or why it stopped working.
enum class SerialError
{
    None,
    NoSuchDevice,     // nothing answers to that name (port 0, an unplugged adapter)
    PermissionDenied, // the user may not open it
    // The user may not open it, and it belongs to the group 'dialout', which Linux systems
    // give serial ports for their users to join.
    NotInDialoutGroup,
    Busy,           // another program holds it
    LineLost,       // the device went away while the port was open (cable pulled)
    NotASerialPort, // the name leads to a regular file, a FIFO or a device that is no terminal
    Other,
};

// The serial port operations the transport and the window use, and nothing more. The line
// configuration is fixed: 19200 baud, 8 data bits, no parity, 1 stop bit, no flow control,
// raw 8-bit data both ways.
class SerialPort
{
public:
    virtual ~SerialPort() = default;

    // Chooses the port for the next Open: "COMn" (resolved to a device by the port naming
    // rules) or a device path. Only called while the port is closed.
    virtual void SetPortName(const QString& name) = 0;
    virtual QString PortName() const = 0;

    // Opens the chosen port. On failure the port stays closed and Error()/ErrorText() tell why.
    virtual bool Open() = 0;
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;

    // Number of received bytes waiting, as a 16-bit count.
    virtual int16_t InBufferCount() = 0;
    // Discards every received byte that is waiting.
    virtual void DiscardInput() = 0;
    // Takes the next received byte; only called when InBufferCount() > 0.
    virtual uint8_t Input() = 0;
    // Transmits the bytes unchanged, in order, without waiting for them to leave.
    virtual void Output(const uint8_t* bytes, int count) = 0;

    // The last failure: its kind and the system's own words for it.
    virtual SerialError Error() const = 0;
    virtual QString ErrorText() const = 0;
};
