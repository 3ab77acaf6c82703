#pragma once

// What the window program sends an encoder that serves its own starts
// (`morlenc --serve HANDLE`), and what it answers. Both sides include this,
// so it uses nothing but the standard library.
//
// The server first sends kWarmStartReady once its libraries are loaded. Each
// request is then one message on the socket, with the job's channel
// descriptor, if any, passed along with it; the answer is one message of
// sizeof(std::int64_t) bytes: the started process's id, or minus the
// system's error number.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

constexpr char kWarmStartReady = 'R';

struct WarmStartRequest {
    // The number under which the job expects the passed descriptor (-1: none).
    int descriptor = -1;
    // The folder the job starts in, as the requester's own current one.
    std::string directory;
    // The argument vector, the program's name first.
    std::vector<std::string> arguments;
    // "NAME=value" words added to the server's environment.
    std::vector<std::string> environment;
};

// The message's bytes: each word ends with a NUL, so any word (a file name
// with spaces or line breaks) travels as it is. The words are the
// descriptor, the folder, the number of arguments, the arguments, then the
// environment.
std::string EncodeWarmStartRequest(const WarmStartRequest &request);

// The request, or nothing when the bytes are not one made above.
std::optional<WarmStartRequest> DecodeWarmStartRequest(std::string_view bytes);
