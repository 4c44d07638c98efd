// A '#' right after '*' in a block comment: the rules write "*//#", whose "*/" ends the comment.
#pragma once

/**
 * Login flow, old and new:
 *#define USE_OLD_LOGIN  // expect-warning PW023:2
 * (the rest of this comment is code in the wrap header)
 */
enum eCG_LOGIN_PROTOCOL
{
	CG_LOGIN_REQ = 0x0100,
	CG_LOGIN_ACK,
};

/**#pragma pack(1)**/  // expect-warning PW023:3

/* A blank between: * #define USE_OLD_LOGIN stays a comment. */
// A line comment: *#define USE_OLD_LOGIN
enum eCG_LOGOUT_PROTOCOL
{
	CG_LOGOUT_REQ = 0x0200,
};
