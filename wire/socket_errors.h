#pragma once
// Error numbers that the error boxes show for a failed send or read: the
// Winsock numbers of the nearest meaning, so that players see the same codes
// on every platform.

namespace kestrel {

constexpr int kErrorUnknown = 10004;            // WSAEINTR stands in for anything else
constexpr int kErrorBadDescriptor = 10009;      // WSAEBADF
constexpr int kErrorAccess = 10013;             // WSAEACCES
constexpr int kErrorFault = 10014;              // WSAEFAULT
constexpr int kErrorInvalid = 10022;            // WSAEINVAL
constexpr int kErrorWouldBlock = 10035;         // WSAEWOULDBLOCK
constexpr int kErrorNotSocket = 10038;          // WSAENOTSOCK; a closed socket reports it
constexpr int kErrorDestinationNeeded = 10039;  // WSAEDESTADDRREQ
constexpr int kErrorMessageSize = 10040;        // WSAEMSGSIZE
constexpr int kErrorOperation = 10045;          // WSAEOPNOTSUPP
constexpr int kErrorFamily = 10047;             // WSAEAFNOSUPPORT
constexpr int kErrorAddressInUse = 10048;       // WSAEADDRINUSE
constexpr int kErrorAddressNotAvail = 10049;    // WSAEADDRNOTAVAIL
constexpr int kErrorNetworkDown = 10050;        // WSAENETDOWN
constexpr int kErrorNetworkUnreachable = 10051; // WSAENETUNREACH
constexpr int kErrorNetworkReset = 10052;       // WSAENETRESET
constexpr int kErrorConnectionReset = 10054;    // WSAECONNRESET
constexpr int kErrorNoBuffers = 10055;          // WSAENOBUFS
constexpr int kErrorNotConnected = 10057;       // WSAENOTCONN
constexpr int kErrorShutDown = 10058;           // WSAESHUTDOWN
constexpr int kErrorTimedOut = 10060;           // WSAETIMEDOUT
constexpr int kErrorHostDown = 10064;           // WSAEHOSTDOWN
constexpr int kErrorHostUnreachable = 10065;    // WSAEHOSTUNREACH
constexpr int kErrorHostNotFound = 11001;       // WSAHOST_NOT_FOUND

// The number shown for a send or read that failed with errno `error`.
int errorNumberForErrno(int error);

} // namespace kestrel
