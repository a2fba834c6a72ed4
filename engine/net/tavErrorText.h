#pragma once
// Winsock (and a few Windows) error codes as the text tavNet shows for them.
// Portable: the codes are plain numbers here.

namespace tavNet
{

// The text for `code`; "tavNet: Unknown error!" for a code not in the table.
// The returned text is static.
const char* ErrorText(int code);

} // namespace tavNet
