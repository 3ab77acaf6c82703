#pragma once

// What the window program and the encoder `morlenc` agree on. Both sides
// include this header, so it uses nothing but the language itself.
//
// A job reports over its channel one line per message: "<code> <value>\n".
// After a progress line the encoder waits for "0\n" (go on) or "1\n" (stop).

enum EncoderCode : int {
    ENC_DURATION = 1,    // probe: duration in whole seconds
    ENC_WIDTH = 2,       // probe: picture width in pixels, as a player shows it
    ENC_HEIGHT = 3,      // probe: picture height in pixels, as a player shows it
    ENC_PROBE_DONE = 4,  // probe: the job has ended
    ENC_PROGRESS = 5,    // convert: source position reached, whole seconds; answered
    ENC_FILE_DONE = 6,   // convert: the job has ended
    ENC_FAILED = 7,      // either: the job failed, value = EncoderFailure; the final code follows
    ENC_SYSTEM_ERROR = 8,  // either: the system's error number (errno) behind the failure
                           // that follows at once, when the system gave one
};

enum EncoderMode : int {
    ENC_MODE_CONVERT = 0,
    ENC_MODE_PROBE = 1,
};

// Reasons carried by ENC_FAILED. The numbers are part of the channel: never
// renumber, only add.
enum EncoderFailure : int {
    ENC_FAIL_ARGUMENTS = 1,     // the encoder was started with options it does not accept
    ENC_FAIL_OPEN_INPUT = 2,    // the source cannot be opened or is not a media file
    ENC_FAIL_NO_VIDEO = 3,      // the source has no video stream
    ENC_FAIL_DECODER = 4,       // the source's video cannot be decoded
    ENC_FAIL_OPEN_OUTPUT = 5,   // the output file cannot be created
    ENC_FAIL_WRITE = 6,         // writing the output failed (disk full, folder gone)
    ENC_FAIL_ENCODE = 7,        // the encoder libraries refused the picture or sound
    ENC_FAIL_INTERNAL = 8,      // anything else inside the encoder
    ENC_FAIL_DIED = 9,          // seen by the program: the encoder ended without its final code
    ENC_FAIL_START = 10,        // seen by the program: the encoder could not be started
    ENC_FAIL_SOURCE_IS_OUTPUT = 11,  // seen by the program: the output would overwrite a source
    ENC_FAIL_OUTPUT_TAKEN = 12,      // seen by the program: the output is a file this batch made
    ENC_FAIL_FOLDER_GONE = 13,       // the output folder was removed (or its disk unplugged)
};

// The final code that ends a job of the given mode.
constexpr int FinalCodeOf(int mode)
{
    return mode == ENC_MODE_PROBE ? ENC_PROBE_DONE : ENC_FILE_DONE;
}

// A short English sentence for a failure reason, for messages and --help.
constexpr const char *EncoderFailureText(int reason)
{
    switch (reason) {
    case ENC_FAIL_ARGUMENTS: return "the encoder was started with options it does not accept";
    case ENC_FAIL_OPEN_INPUT: return "the file cannot be opened or is not a video file";
    case ENC_FAIL_NO_VIDEO: return "the file has no video stream";
    case ENC_FAIL_DECODER: return "the video of the file cannot be decoded";
    case ENC_FAIL_OPEN_OUTPUT: return "the output file cannot be created";
    case ENC_FAIL_WRITE: return "writing the output file failed (is the disk full?)";
    case ENC_FAIL_ENCODE: return "the picture or sound could not be encoded";
    case ENC_FAIL_INTERNAL: return "the encoder failed";
    case ENC_FAIL_DIED: return "the encoder stopped unexpectedly";
    case ENC_FAIL_START: return "the encoder program could not be started";
    case ENC_FAIL_SOURCE_IS_OUTPUT: return "its output would overwrite a file in the list";
    case ENC_FAIL_OUTPUT_TAKEN: return "its output would replace a file converted earlier in this batch";
    case ENC_FAIL_FOLDER_GONE: return "the output folder no longer exists (removed, or its disk unplugged)";
    default: return "unknown failure";
    }
}
