#include "wire/socket_errors.h"

#include <cerrno>

namespace kestrel {

int errorNumberForErrno(int error)
{
    switch (error) {
    case EAGAIN: // the send buffer is full for now
#if EWOULDBLOCK != EAGAIN
    case EWOULDBLOCK:
#endif
        return kErrorWouldBlock;
    case EBADF:
        return kErrorBadDescriptor;
    case ENOTSOCK:
        return kErrorNotSocket;
    case EACCES: // a broadcast without SO_BROADCAST, or a "prohibit" route
    case EPERM:  // a firewall rule that rejects
        return kErrorAccess;
    case EFAULT:
        return kErrorFault;
    case EINVAL: // among others a "blackhole" route
        return kErrorInvalid;
    case EDESTADDRREQ:
        return kErrorDestinationNeeded;
    case EMSGSIZE:
        return kErrorMessageSize;
    case EOPNOTSUPP:
        return kErrorOperation;
    case EAFNOSUPPORT:
        return kErrorFamily;
    case EADDRINUSE:
        return kErrorAddressInUse;
    case EADDRNOTAVAIL:
        return kErrorAddressNotAvail;
    case ENETDOWN:
        return kErrorNetworkDown;
    case ENETUNREACH:
        return kErrorNetworkUnreachable;
    case ENETRESET:
        return kErrorNetworkReset;
    case ECONNRESET:
    case ECONNREFUSED: // an earlier datagram found no receiver; Winsock calls that a reset on UDP
        return kErrorConnectionReset;
    case ENOBUFS:
    case ENOMEM:
        return kErrorNoBuffers;
    case ENOTCONN:
        return kErrorNotConnected;
    case EPIPE:
    case ESHUTDOWN:
        return kErrorShutDown;
    case ETIMEDOUT:
        return kErrorTimedOut;
    case EHOSTDOWN:
        return kErrorHostDown;
    case EHOSTUNREACH:
        return kErrorHostUnreachable;
    default:
        return kErrorUnknown;
    }
}

} // namespace kestrel
