#include "net/socket_errors.h"

#include <cerrno>
#include <gtest/gtest.h>

namespace kestrel {
namespace {

// The numbers as the Winsock error list has them.
TEST(SocketErrors, EachSendErrnoShowsTheWinsockNumberOfItsMeaning)
{
    const std::vector<std::pair<int, int>> table = {
        {ENETUNREACH, 10051}, {EHOSTUNREACH, 10065},  {ENETDOWN, 10050},
        {EACCES, 10013},      {EPERM, 10013},         {EMSGSIZE, 10040},
        {ENOBUFS, 10055},     {ENOMEM, 10055},        {EAGAIN, 10035},
        {EWOULDBLOCK, 10035}, {ECONNREFUSED, 10054},  {ECONNRESET, 10054},
        {EHOSTDOWN, 10064},   {EADDRNOTAVAIL, 10049}, {EINVAL, 10022},
        {ENOTSOCK, 10038},    {EBADF, 10009},         {ETIMEDOUT, 10060},
        {EOPNOTSUPP, 10045},  {EDESTADDRREQ, 10039},  {ENOENT, 10004},
        {0, 10004},
    };
    for (const auto& [error, number] : table)
        EXPECT_EQ(errorNumberForErrno(error), number) << "errno " << error;
}

} // namespace
} // namespace kestrel
