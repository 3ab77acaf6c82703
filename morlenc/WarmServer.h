#pragma once

// Serves job starts from a process whose libraries are loaded already.
//
// Starting this program is mostly loading Debian's FFmpeg libraries: about
// 170 shared objects whose symbol binding and page faults cost 70-90 ms of
// processor time, as much as a whole probe of a short file. The window
// program therefore starts one server (`morlenc --serve HANDLE`) and asks it
// for each job. The job is a copy of the server that runs the arguments it
// was sent, made with CLONE_PARENT: it is the asking program's own child, so
// that program reaps, signals and stops it as if it had started it itself.

namespace morlenc {

using MainFunction = int (*)(int argc, char **argv);

// Answers requests on the socket `handle` until it closes; each request runs
// `main` in a process of its own. The exit status: 0 when the socket
// closed, 1 when it failed.
int Serve(int handle, MainFunction main);

} // namespace morlenc
