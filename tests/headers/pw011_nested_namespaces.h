// One table declared in each branch of a conditional, in one namespace spelled two ways:
// namespace a::b, and namespace b inside namespace a. The wrap header keeps both.
#pragma once

#ifdef _WIN32
namespace talvenor::net {
enum eCG_TRADE_PROTOCOL
{
	CG_TRADE_OPEN = 1,
};
}  // namespace talvenor::net
#else
namespace talvenor {
namespace net {
enum eCG_TRADE_PROTOCOL  // expect-warning PW011:1
{
	CG_TRADE_OPEN = 2,
};
}  // namespace net
}  // namespace talvenor
#endif
