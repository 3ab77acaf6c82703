#pragma once

// Ownership of FFmpeg objects: every one lives in a std::unique_ptr whose
// deleter is the library's own free function.

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavfilter/avfilter.h>
#include <libavformat/avformat.h>
#include <libavutil/frame.h>
}

#include <memory>
#include <string>

namespace morlenc {

// Most free functions take the address of the pointer so they can clear it.
template <auto Free>
struct FreeWith {
    template <typename T>
    void operator()(T *object) const
    {
        Free(&object);
    }
};

using InputContext = std::unique_ptr<AVFormatContext, FreeWith<avformat_close_input>>;
using CodecContext = std::unique_ptr<AVCodecContext, FreeWith<avcodec_free_context>>;
using FramePtr = std::unique_ptr<AVFrame, FreeWith<av_frame_free>>;
using PacketPtr = std::unique_ptr<AVPacket, FreeWith<av_packet_free>>;
using GraphPtr = std::unique_ptr<AVFilterGraph, FreeWith<avfilter_graph_free>>;
using InOutPtr = std::unique_ptr<AVFilterInOut, FreeWith<avfilter_inout_free>>;

// An output context owns its file too, which avformat_free_context leaves
// open.
struct OutputContextFree {
    void operator()(AVFormatContext *context) const;
};
using OutputContext = std::unique_ptr<AVFormatContext, OutputContextFree>;

// These throw Failure(ENC_FAIL_INTERNAL) when memory runs out.
FramePtr NewFrame();
PacketPtr NewPacket();

// How many threads each decoder and encoder may use: MORLENC_THREADS when
// it names 1 to 64, else 0, which lets the libraries use every core. The
// program that starts several jobs at once shares the cores out among them
// this way; threads of one codec that wait for each other cost processor
// time that another job could use.
int CodecThreads();

// The library's words for an error code.
std::string ErrorText(int error);

// Throws Failure(reason) with what and the error's words when error < 0,
// with its errno where it stands for one and reason is about files.
void Check(int error, int reason, const std::string &what);

} // namespace morlenc
