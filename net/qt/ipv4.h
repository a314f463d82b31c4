#pragma once
// Addresses between Qt and the protocol logic.

#include <QHostAddress>

#include "net/platform.h"

namespace kestrel {

// The IPv4 address of a, also when a holds it in IPv4-mapped IPv6 form
// (::ffff:a.b.c.d); false for any other IPv6 address or a null address.
inline bool toIpv4(const QHostAddress& a, Ipv4& out)
{
    bool ok = false;
    const quint32 value = a.toIPv4Address(&ok);
    if (ok)
        out = value;
    return ok;
}

} // namespace kestrel
