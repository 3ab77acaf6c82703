#!/usr/bin/python3
"""The encoder's timeline, one row per shape of source, judged against a
reference:

    timelines.py MORLENC ENCODER_COMMAND [ROW-NAME-PART ...]

Every source carries markers: a white picture and a loud beep at the same
moments, over a quiet tone that never stops, so that the output's length,
its streams' starts, the sound's holes and the picture/sound offset can be
read back. The reference is the `ffmpeg` command's conversion of the same
file where the source is plain, else the source's own timeline (decoded
with its timestamps kept, counted from the first of the streams converted);
recordings joined from parts have their length given. The output is read
with ffprobe and, for its length, with mediainfo, which is not FFmpeg's;
the probe's length must be the output's."""

import json
import os
import re
import subprocess
import sys
import tempfile
import time

# The encoder, and the tool that prints the arguments the program gives it.
MORLENC, ENCODER_COMMAND = sys.argv[1:3]
ONLY = sys.argv[3:]
FRAME = 1001 / 30000


def run(args, **kwargs):
    result = subprocess.run(args, stdin=subprocess.DEVNULL, capture_output=True, text=True, **kwargs)
    if result.returncode != 0:
        raise AssertionError("failed: %s\n%s" % (" ".join(args), result.stderr[-3000:]))
    return result


# The markers: every 2 s from 1 s, a white picture for one source frame and
# a beep of a tenth of a second; `period` spreads them for slow slide shows.
def picture(seconds, rate=25, size="160x120", period=2, first=1, frames=1):
    return ("color=c=0x303030:s=%s:r=%s:d=%s,drawbox=c=white:t=fill:enable='lt(mod(t-%s,%s),%s)'"
            % (size, rate, seconds, first, period, (frames - 0.001) / float(eval(str(rate)))))


def sound(seconds, rate=48000, period=2, first=1):
    return ("sine=f=1000:r=%d:d=%s:samples_per_frame=%d,volume=eval=frame:volume='if(lt(mod(t-%s,%s),0.1),0.9,0.03)'"
            % (rate, seconds, rate // 100, first, period))


def ffmpeg(*args):
    return ["ffmpeg", "-v", "error", "-nostdin", "-y"] + [str(a) for a in args]


def lavfi(graph):
    return ["-f", "lavfi", "-i", graph]


X264 = ["-c:v", "libx264", "-preset", "veryfast"]
NO_B = ["-bf", "0"]


class Shape:
    """name; file; the commands that make it (OUT stands for a scratch file
    of the same folder); the reference: "ffmpeg", "source" or a length in
    seconds for joined recordings; sound: the source has sound; big: the
    probe must read at most 5 % of it."""

    def __init__(self, name, file, commands, reference="ffmpeg", sound=True, big=False):
        self.name, self.file, self.commands = name, file, commands
        self.reference, self.sound, self.big = reference, sound, big


def av(seconds, *encode, rate=25, audio_rate=48000, period=2, first=1, vf=None, af=None, picture_only=False,
       frames=1):
    """One command making `seconds` of marked picture and sound."""
    video = picture(seconds, rate, period=period, first=first, frames=frames)
    args = lavfi(video)
    if not picture_only:
        args += lavfi(sound(seconds, audio_rate, period=period, first=first))
    if vf:
        args += ["-vf", vf]
    if af:
        args += ["-af", af]
    return args + list(encode)


def made(*args):
    return [ffmpeg(*args)]


def joined(container, parts):
    """Parts of a recording written one after another into one file, as a
    recorder joins them: each part is (size, sound rate, channels, offset,
    seconds)."""
    commands = []
    for index, (size, rate, channels, offset, seconds) in enumerate(parts):
        commands.append(ffmpeg(*lavfi(picture(seconds, 25, size)), *lavfi(sound(seconds, rate)),
                               "-ac", channels, "-c:v", "mpeg2video", "-c:a", "mp2",
                               "-output_ts_offset", offset, "-f", container, "PART%d" % index))
    commands.append(["cat"] + ["PART%d" % i for i in range(len(parts))])
    return commands


STILL = "select='lt(t,2)+gte(t,13)'"   # an 11-second still
PAUSE = "between(t,0,2)+between(t,14,16)"  # both streams pause 12 s
SLIDES_LOOKAHEAD = X264 + ["-preset", "medium"]

SHAPES = [
    # Ordinary clips: the ffmpeg command's conversion is the reference.
    Shape("mp4 cut with a stream copy (edit list, negative dts)", "cut.mp4",
          made(*av(28, *X264, "-g", 625, "-c:a", "aac"), "LONG.mp4")
          + [ffmpeg("-ss", 20, "-i", "LONG.mp4", "-c", "copy", "OUT")]),
    Shape("mp4 with B-frames", "b.mp4", made(*av(6, *X264, "-bf", 3, "-c:a", "aac"), "OUT")),
    Shape("mkv with B-frames", "b.mkv", made(*av(6, *X264, "-bf", 3, "-c:a", "aac"), "OUT")),
    Shape("mp4, variable rate, 11 s still, sound", "vs.mp4",
          made(*av(14, *X264, "-c:a", "aac", "-fps_mode", "vfr", vf=STILL), "OUT")),
    Shape("webm, variable rate, 11 s still, sound", "vs.webm",
          made(*av(14, "-c:v", "libvpx", "-c:a", "libopus", "-fps_mode", "vfr", vf=STILL), "OUT")),
    Shape("mkv, variable rate, 11 s still, sound, B-frames", "vs.mkv",
          made(*av(14, *X264, "-bf", 3, "-c:a", "aac", "-fps_mode", "vfr", vf=STILL), "OUT")),
    Shape("flv, variable rate, 11 s still, sound", "vs.flv",
          made(*av(14, *X264, "-c:a", "aac", "-fps_mode", "vfr", vf=STILL), "OUT")),
    Shape("mp4, variable rate, 11 s still, silent", "v.mp4",
          made(*av(14, *X264, "-fps_mode", "vfr", vf=STILL, picture_only=True), "OUT"), sound=False),
    Shape("webm, variable rate, 11 s still, silent", "v.webm",
          made(*av(14, "-c:v", "libvpx", "-fps_mode", "vfr", vf=STILL, picture_only=True), "OUT"), sound=False),
    Shape("mkv, variable rate, 11 s still, silent, B-frames", "v.mkv",
          made(*av(14, *X264, "-bf", 3, "-fps_mode", "vfr", vf=STILL, picture_only=True), "OUT"), sound=False),
    Shape("flv, variable rate, 11 s still, silent", "v.flv",
          made(*av(14, *X264, "-fps_mode", "vfr", vf=STILL, picture_only=True), "OUT"), sound=False),
    Shape("mkv slide show, 1 picture a second, B-frames", "s1.mkv",
          made(*av(12, *SLIDES_LOOKAHEAD, "-c:a", "aac", rate=1), "OUT")),
    Shape("mkv slide show, 0.2 pictures a second, B-frames", "s02.mkv",
          made(*av(30, *SLIDES_LOOKAHEAD, "-c:a", "aac", rate=0.2, period=10, first=5), "OUT")),
    Shape("mkv slide show, 0.2 pictures a second", "s02n.mkv",
          made(*av(30, *SLIDES_LOOKAHEAD, *NO_B, "-c:a", "aac", rate=0.2, period=10, first=5), "OUT")),
    Shape("mp4 slide show, 0.5 pictures a second, B-frames", "s05.mp4",
          made(*av(20, *SLIDES_LOOKAHEAD, "-c:a", "aac", rate=0.5, period=4, first=2), "OUT")),
    Shape("ts slide show, 0.5 pictures a second", "s05.ts",
          made(*av(20, *SLIDES_LOOKAHEAD, *NO_B, "-c:a", "mp2", rate=0.5, period=4, first=2), "OUT")),
    Shape("mp4, sound shorter than the picture", "short.mp4",
          made(*lavfi(picture(8)), *lavfi(sound(5)), *X264, "-c:a", "aac", "OUT")),
    Shape("mp4, picture only", "p.mp4", made(*av(4, *X264, picture_only=True), "OUT"), sound=False),
    Shape("mkv, sound with jittery timestamps", "jitter.mkv",
          made(*av(6, "-c:v", "mpeg4", "-c:a", "aac"), "TMP.mkv")
          + [ffmpeg("-i", "TMP.mkv", "-c", "copy", "-bsf:a", "setts=ts=TS+if(eq(mod(N\\,5)\\,4)\\,0.04/TB\\,0)",
                    "OUT")]),
    Shape("ts near the clock's wrap", "wrap.ts",
          made(*av(6, "-c:v", "mpeg2video", "-c:a", "mp2", "-output_ts_offset", 95440), "OUT")),
    Shape("ts starting late", "late.ts",
          made(*av(4, "-c:v", "mpeg2video", "-c:a", "mp2", "-output_ts_offset", 30), "OUT")),
    Shape("mkv, very large start time", "large.mkv",
          made(*av(4, "-c:v", "mpeg4", "-c:a", "aac", "-output_ts_offset", 360000), "OUT")),
    Shape("flv starting late", "late.flv",
          made(*av(4, "-c:v", "flv1", "-c:a", "libmp3lame", "-output_ts_offset", 30), "OUT")),
    Shape("asf with preroll", "p.asf", made(*av(4, "-c:v", "wmv2", "-c:a", "wmav2"), "OUT")),
    Shape("avi with dropped frames", "drop.avi",
          made(*av(6, "-c:v", "mpeg4", "-c:a", "libmp3lame", "-fps_mode", "vfr",
                   vf="select='not(between(n,30,45))'"), "OUT")),
    Shape("mp4, 23.976 frames a second", "f23.mp4",
          made(*av(4, *X264, "-c:a", "aac", rate="24000/1001"), "OUT")),
    Shape("avi, 25 frames a second", "f25.avi", made(*av(4, "-c:v", "mpeg4", "-c:a", "libmp3lame"), "OUT")),
    Shape("ts, 25i MPEG-2, top field first", "i25.ts",
          made(*av(4, "-c:v", "mpeg2video", "-flags", "+ilme+ildct", "-top", 1, "-c:a", "mp2", rate=50, frames=2,
                   vf="interlace=scan=tff"), "OUT")),
    Shape("ts, 29.97i MPEG-2, top field first", "i30.ts",
          made(*av(4, "-c:v", "mpeg2video", "-flags", "+ilme+ildct", "-top", 1, "-c:a", "mp2",
                   rate="60000/1001", frames=2, vf="interlace=scan=tff"), "OUT")),
    Shape("mpg, hard-telecined film", "film.mpg",
          made(*av(4, "-c:v", "mpeg2video", "-flags", "+ilme+ildct", "-top", 1, "-c:a", "mp2", "-f", "vob",
                   rate="24000/1001", vf="telecine=first_field=top:pattern=23"), "OUT")),
    Shape("mpg, 29.97 frames a second", "f29.mpg",
          made(*av(4, "-c:v", "mpeg2video", "-c:a", "mp2", rate="30000/1001"), "OUT")),
] + [
    # Long files: the probe finds the tail without reading them through.
    Shape("%s, long, probed reading little" % container, "long." + container,
          made(*lavfi("testsrc2=s=320x240:r=25:d=120"), *lavfi(sound(120)), "-c:v", "mpeg4" if container != "flv" else "flv1",
               "-q:v", 2, "-c:a", "libmp3lame", "OUT"), big=True)
    for container in ("mkv", "mp4", "avi", "flv", "ts", "asf")
] + [
    # Not plain: the source's own timeline is the reference.
    # The ffmpeg command's own conversion of this one puts its picture 40 s late.
    Shape("ts slide show, 0.2 pictures a second, B-frames", "s02.ts",
          made(*av(40, *SLIDES_LOOKAHEAD, "-c:a", "mp2", rate=0.2, period=10, first=5), "OUT"), "source"),
    Shape("mkv, both streams pause 12 s", "pause.mkv",
          made(*av(16, "-c:v", "mpeg4", "-c:a", "aac", "-fps_mode", "vfr",
                   vf="select='%s'" % PAUSE, af="aselect='%s'" % PAUSE), "OUT"), "source"),
    Shape("flv, both streams pause 12 s", "pause.flv",
          made(*av(16, "-c:v", "flv1", "-c:a", "libmp3lame", "-fps_mode", "vfr",
                   vf="select='%s'" % PAUSE, af="aselect='%s'" % PAUSE), "OUT"), "source"),
    Shape("mkv, a second sound track starts 12 s before", "second.mkv",
          made(*lavfi(picture(12)), *lavfi(sound(12)), *lavfi("sine=f=300:d=24"),
               "-map", "0:v", "-map", "1:a", "-map", "2:a", "-c:v", "mpeg4", "-c:a", "aac",
               "-disposition:a:1", 0, "-output_ts_offset", 12, "TMP.mkv")
          + [ffmpeg("-i", "TMP.mkv", "-map", 0, "-c", "copy", "-bsf:a:1", "setts=ts=TS-12/TB",
                          "-disposition:a:0", "default", "-disposition:a:1", 0, "OUT")],
          "source"),
    Shape("mkv, sound 3 s after the picture", "late_sound.mkv",
          made(*lavfi(picture(8)), "-itsoffset", 3, *lavfi(sound(5, first=0)), "-c:v", "mpeg4",
               "-c:a", "aac", "OUT"), "source"),
    Shape("mp4, picture 2.6 s after the sound", "late_picture.mp4",
          made("-itsoffset", 2.6, *lavfi(picture(5.4, first=0.4)), *lavfi(sound(8)), *X264, "-c:a", "aac",
               "OUT"), "source"),
    Shape("ts, sound 8 s after the picture", "late_sound.ts",
          made(*lavfi(picture(14)), "-itsoffset", 8, *lavfi(sound(6, first=1)), "-c:v", "mpeg2video",
               "-c:a", "mp2", "OUT"), "source"),
    Shape("ts, picture 14.6 s after the sound", "late_picture.ts",
          made("-itsoffset", 14.6, *lavfi(picture(4.4, first=0.4)), *lavfi(sound(19)),
               "-c:v", "mpeg2video", "-c:a", "mp2", "OUT"), "source"),

    # Recordings joined from parts: (size, sound rate, channels, offset, seconds).
    Shape("ts joined, timestamps start again", "restart.ts",
          joined("mpegts", [("160x120", 48000, 2, 0, 3)] * 2), 6.0),
    Shape("ps joined, timestamps start again", "restart.mpg",
          joined("mpeg", [("160x120", 48000, 2, 0, 3)] * 2), 6.0),
    Shape("ts joined, three parts, one far ahead", "far.ts",
          joined("mpegts", [("160x120", 48000, 2, 0, 3), ("160x120", 48000, 2, 1000, 3),
                            ("160x120", 48000, 2, 0, 3)]), 9.0),
    Shape("ts joined, steps back, sound changes format", "back.ts",
          joined("mpegts", [("160x120", 48000, 2, 0, 3), ("160x120", 44100, 1, 2.98, 3)]), 5.98),
    Shape("ts, both streams pause 12 s: a join", "pause.ts",
          joined("mpegts", [("160x120", 48000, 2, 0, 2), ("160x120", 48000, 2, 14, 2)]), 4.0),
    Shape("ts joined, 4:3 then 16:9", "shape.ts",
          joined("mpegts", [("160x120", 48000, 2, 0, 2), ("160x90", 48000, 2, 0, 2)]), 4.0),
]


# --- Reading back ---------------------------------------------------------

def number(value, default=0.0):
    try:
        return float(value)
    except (TypeError, ValueError):
        return default


def spans(path):
    """(start, end) of the packets of the first picture and the first sound
    (None when there is none), at the times the file gives."""
    out = run(["ffprobe", "-v", "error", "-show_streams", "-show_entries",
               "packet=stream_index,pts_time,duration_time", "-of", "json", path]).stdout
    info = json.loads(out)
    found = {}
    for s in info["streams"]:
        found.setdefault(s["codec_type"], s["index"])
    result = []
    for kind in ("video", "audio"):
        times = [(number(p["pts_time"]), number(p["pts_time"]) + number(p.get("duration_time")))
                 for p in info.get("packets", [])
                 if p["stream_index"] == found.get(kind) and number(p.get("pts_time"), None) is not None]
        result.append((min(t[0] for t in times), max(t[1] for t in times)) if times else None)
    return result


def levels(path, sound):
    """(time, brightness) of every picture and (time, loudness in dB) of
    every hundredth of a second of sound, at the times the file gives."""
    with tempfile.TemporaryDirectory() as folder:
        luma, loud = os.path.join(folder, "v"), os.path.join(folder, "a")
        args = ["-copyts", "-i", path, "-map", "0:v:0", "-vf",
                "signalstats,metadata=mode=print:key=lavfi.signalstats.YAVG:file=" + luma, "-f", "null", os.devnull]
        if sound:
            args += ["-map", "0:a:0", "-af", "aresample=44100,asetnsamples=n=441:p=0,astats=metadata=1:reset=1,"
                     "ametadata=mode=print:key=lavfi.astats.Overall.RMS_level:file=" + loud, "-f", "null", os.devnull]
        run(ffmpeg(*args))
        return read_values(luma), read_values(loud) if sound else []


def read_values(listing):
    values, time = [], None
    with open(listing) as lines:
        for line in lines:
            match = re.search(r"pts_time:(-?[0-9.e+-]+)", line)
            if match:
                time = float(match.group(1))
            elif "=" in line and time is not None:
                values.append((time, number(line.split("=", 1)[1], -200.0)))
    return values


def rises(values, threshold):
    """Where the value first goes over the threshold, each time."""
    times, above = [], False
    for time, value in values:
        if value > threshold and not above:
            times.append(time)
        above = value > threshold
    return times


class Timing:
    """What can be read of a file's timeline, counted from its origin: the
    first moment of its picture and its first sound."""

    def __init__(self, path, from_origin=False):
        video, audio = spans(path)
        origin = min(s[0] for s in (video, audio) if s) if from_origin else 0.0
        self.video_start, self.video_length = video[0] - origin, video[1] - origin
        self.audio_start = self.audio_length = None
        if audio:
            self.audio_start, self.audio_length = audio[0] - origin, audio[1] - origin
        luma, level = levels(path, audio is not None)
        self.flashes = [t - origin for t in rises(luma, 128)]
        self.beeps = [t - origin for t in rises(level, -30)]
        self.holes = holes(level)


def holes(level):
    """Seconds of silence inside the sound, whose tone never stops in a
    source, and of no sound at all there for longer than timing jitter."""
    total, previous, silent = 0.0, None, False
    for time, value in level:
        if value < -70:
            silent = True
            continue
        if previous is not None:
            gap = time - previous - 0.01
            if gap > 0.005 and (silent or gap > 0.1):
                total += gap
        previous, silent = time, False
    return total


def mediainfo_seconds(path):
    out = run(["mediainfo", "--Inform=Video;%Duration%", path]).stdout.strip()
    return number(out) / 1000


def probed_seconds(path):
    arguments = command(path, os.devnull, mode=1)
    lines = run([MORLENC] + arguments[1:]).stdout.split("\n")
    return int(next(l for l in lines if l.startswith("1 ")).split()[1])


def bytes_read_by_probe(path):
    """What the probe reads of the file, counted by strace."""
    arguments = command(path, os.devnull, mode=1)
    with tempfile.NamedTemporaryFile("r", suffix=".trace") as trace:
        # The leak checker cannot work under a tracer.
        env = dict(os.environ)
        env["ASAN_OPTIONS"] = ":".join(filter(None, [env.get("ASAN_OPTIONS"), "detect_leaks=0"]))
        run(["strace", "-f", "-e", "trace=openat,read,pread64", "-o", trace.name, MORLENC] + arguments[1:], env=env)
        total, descriptor = 0, None
        for line in trace.read().splitlines():
            opened = re.search(r'openat\(.*"%s".*\) = (\d+)' % re.escape(path), line)
            if opened:
                descriptor = opened.group(1)
            read = re.search(r"p?read(?:64)?\((\d+),.*\) = (\d+)", line)
            if read and read.group(1) == descriptor:
                total += int(read.group(2))
        return total


def command(source, output, mode=0):
    """The encoder's arguments as the program builds them: 160x120, no bars."""
    out = run([ENCODER_COMMAND, source, output, "--mode", str(mode), "--size", "160x120"]).stdout
    return [MORLENC] + out.split("\n")[:-1]


# --- Judging --------------------------------------------------------------

def close_lists(got, want, tolerance):
    return len(got) == len(want) and all(abs(g - w) <= tolerance for g, w in zip(got, want))


def judge(shape, folder):
    source = os.path.join(folder, shape.file)
    for args in shape.commands:
        args = [a.replace("OUT", source) if a == "OUT" else a for a in args]
        if args[0] == "cat":
            with open(source, "wb") as out:
                for part in args[1:]:
                    with open(os.path.join(folder, part), "rb") as piece:
                        out.write(piece.read())
        else:
            run(args, cwd=folder)
    if shape.big:
        return judge_probe(source)
    output = source + ".out.mp4"
    result = run(command(source, output))
    if not result.stdout.rstrip().endswith("6 0"):
        raise AssertionError("the conversion did not end with its code 6: " + result.stdout[-200:])
    got = Timing(output)
    problems = []
    if abs(got.video_start) > 0.05 or (got.audio_start is not None and abs(got.audio_start) > 0.05):
        problems.append("streams start at %.3f and %s" % (got.video_start, got.audio_start))

    joined_length = None if isinstance(shape.reference, str) else shape.reference
    if joined_length is not None:
        want_length, want = joined_length, None
    elif shape.reference == "ffmpeg":
        reference = source + ".ref.mp4"
        maps = ["-map", "0:v:0"] + (["-map", "0:a:0"] if shape.sound else [])
        run(ffmpeg("-i", source, *maps, "-vf", "scale=160:120", "-r", "30000/1001", "-c:v", "mpeg4",
                   "-c:a", "aac", "-ar", 44100, "-ac", 2, reference))
        want = Timing(reference)
        want_length = want.video_length
    else:
        want = Timing(source, from_origin=True)
        want_length = want.video_length

    # A joined part's sound may outlast its picture by a frame, which the
    # next part then follows.
    slack = FRAME + 0.005 if want is not None else 0.1
    if abs(got.video_length - want_length) > slack:
        problems.append("picture lasts %.3f s, not %.3f s" % (got.video_length, want_length))
    # Sound as long as the reference's, or as the picture where parts join.
    want_sound = want_length if want is None else want.audio_length
    if shape.sound and got.audio_length is None:
        problems.append("no sound")
    elif shape.sound and abs(got.audio_length - want_sound) > 0.1:
        problems.append("sound lasts %.3f s, not %.3f s" % (got.audio_length, want_sound))
    if want is not None:
        if not close_lists(got.flashes, want.flashes, FRAME + 0.005):
            problems.append("flashes at %s, not %s" % (rounded(got.flashes), rounded(want.flashes)))
        if shape.sound and not close_lists(got.beeps, want.beeps, 0.03):
            problems.append("beeps at %s, not %s" % (rounded(got.beeps), rounded(want.beeps)))
        if shape.sound and abs(got.holes - want.holes) > 0.05:
            problems.append("%.2f s of holes in the sound, not %.2f s" % (got.holes, want.holes))
    # Each flash where there is sound beside the beep nearest to it.
    heard = [f for f in got.flashes if got.beeps and got.beeps[0] - 1 < f < got.beeps[-1] + 1]
    offsets = [min((b - f for b in got.beeps), key=abs) for f in heard]
    if shape.sound and (not offsets or any(abs(o) > 0.04 for o in offsets)):
        problems.append("picture and sound apart: flashes %s, beeps %s" % (rounded(got.flashes),
                                                                        rounded(got.beeps)))
    other = mediainfo_seconds(output)
    if abs(other - got.video_length) > 0.05:
        problems.append("mediainfo reads %.3f s of picture, ffprobe %.3f s" % (other, got.video_length))
    probed = probed_seconds(source)
    if abs(probed - got.video_length) > 0.5 + FRAME:
        problems.append("the probe says %d s" % probed)
    figures = "length %.3f s (want %.3f), offset %s ms, probe %d s" % (
        got.video_length, want_length,
        "%+d..%+d" % (round(1000 * min(offsets)), round(1000 * max(offsets))) if offsets else "-", probed)
    return problems, figures


def judge_probe(source):
    """A long file: the probe finds its length reading little of it."""
    video, audio = spans(source)
    length = max(s[1] for s in (video, audio) if s) - min(s[0] for s in (video, audio) if s)
    probed = probed_seconds(source)
    share = bytes_read_by_probe(source) / os.path.getsize(source)
    problems = []
    if abs(probed - length) > 0.5 + FRAME:
        problems.append("the probe says %d s, not %.3f s" % (probed, length))
    if share > 0.05:
        problems.append("the probe reads %.1f %% of the file" % (100 * share))
    return problems, "probe %d s (the file's %.3f s), reading %.1f %% of it" % (probed, length, 100 * share)


def rounded(times):
    return "[" + " ".join("%.2f" % t for t in times) + "]"


def main():
    failed = 0
    shapes = [s for s in SHAPES if not ONLY or any(part in s.name for part in ONLY)]
    for shape in shapes:
        began = time.monotonic()
        with tempfile.TemporaryDirectory() as folder:
            try:
                problems, figures = judge(shape, folder)
            except AssertionError as error:
                problems, figures = [str(error)], ""
        status = "ok  " if not problems else "FAIL"
        print("%s %s: %s (%.1f s)" % (status, shape.name, figures, time.monotonic() - began), flush=True)
        for problem in problems:
            print("       " + problem, flush=True)
        failed += bool(problems)
    print("%d passed, %d failed" % (len(shapes) - failed, failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
