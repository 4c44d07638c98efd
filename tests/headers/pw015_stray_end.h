namespace talvenor {

enum eCW_CHAT_PROTOCOL
{
	CW_CHAT_SAY = 1,
};

};  // expect-warning PW015:1
