#include "FailureReason.h"

FailureReason PortFailure(SerialError error)
{
    FailureReason reason;
    switch (error) {
    case SerialError::NoSuchDevice:
        reason.kind = FailureKind::NoDevice;
        break;
    case SerialError::PermissionDenied:
        reason.kind = FailureKind::PermissionDenied;
        break;
    case SerialError::NotInDialoutGroup:
        reason.kind = FailureKind::PermissionDenied;
        reason.dialoutGroup = true;
        break;
    case SerialError::Busy:
        reason.kind = FailureKind::PortBusy;
        break;
    case SerialError::LineLost:
        reason.kind = FailureKind::LineLost;
        break;
    case SerialError::NotASerialPort:
        reason.kind = FailureKind::NotASerialPort;
        break;
    case SerialError::Other:
    case SerialError::None:
        reason.kind = FailureKind::PortUnusable;
        break;
    }
    return reason;
}
