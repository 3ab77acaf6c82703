#!/usr/bin/python3
"""The Debian package, checked as a packager and a new user would:

    check_package.py BUILD_FOLDER

It is made from the build with CPack, must pass lintian without errors and
its metadata the AppStream and desktop-entry validators, must install on
this system (apt-get --simulate), and unpacked into a temporary root its
programs must run: morlenc probes a video, kelvaro answers --version, and
started without a display it runs and ends cleanly on SIGTERM, saving its
settings. The packages of the plugins Qt loads at run time must be among
its dependencies.

Exits 77 (skipped) with a message when the packaging tools are missing."""

import glob
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

TOOLS = ["cpack", "dpkg-deb", "dpkg-shlibdeps", "lintian", "appstreamcli", "desktop-file-validate",
         "apt-get", "ffmpeg"]
SKIPPED = 77


def run(*command, **options):
    result = subprocess.run(command, capture_output=True, text=True, **options)
    if result.returncode != 0:
        raise AssertionError(f"{' '.join(command)} failed ({result.returncode}):\n{result.stdout}{result.stderr}")
    return result.stdout


def wait_for(condition, what, timeout=30):
    deadline = time.monotonic() + timeout
    while not condition():
        if time.monotonic() > deadline:
            raise AssertionError(f"waited {timeout} s for {what}")
        time.sleep(0.1)


def build_package(build, folder):
    run("cpack", "--config", os.path.join(build, "CPackConfig.cmake"), "-B", folder)
    packages = glob.glob(os.path.join(folder, "kelvaro_*_amd64.deb"))
    assert len(packages) == 1, packages
    print(f"built {os.path.basename(packages[0])}")
    return packages[0]


def check_lintian(package):
    report = subprocess.run(["lintian", "--pedantic", package], capture_output=True, text=True)
    tags = [line for line in report.stdout.splitlines() if line[:2] in ("E:", "W:", "I:", "P:")]
    for line in tags:
        print(f"lintian: {line}")
    errors = [line for line in tags if line.startswith("E:")]
    assert not errors, errors


def check_metadata(root):
    metainfo = glob.glob(os.path.join(root, "usr/share/metainfo/*.metainfo.xml"))
    assert len(metainfo) == 1, metainfo
    print(run("appstreamcli", "validate", "--no-net", metainfo[0]).strip().splitlines()[-1])
    run("desktop-file-validate", os.path.join(root, "usr/share/applications/kelvaro.desktop"))
    for page in ("kelvaro.1.gz", "morlenc.1.gz"):
        assert os.path.exists(os.path.join(root, "usr/share/man/man1", page)), page
    assert os.path.exists(os.path.join(root, "usr/share/doc/kelvaro/copyright"))
    for size in (16, 32, 48, 128, 256):
        assert os.path.exists(os.path.join(root, f"usr/share/icons/hicolor/{size}x{size}/apps/kelvaro.png"))


def check_morlenc(root, build, folder):
    video = os.path.join(folder, "clip.avi")
    run("ffmpeg", "-v", "error", "-nostdin", "-f", "lavfi", "-i", "testsrc=size=320x240:rate=25:duration=3",
        "-c:v", "mpeg4", video)
    morlenc = os.path.join(root, "usr/bin/morlenc")
    # The arguments the program itself gives the encoder, for a probe.
    command = run(os.path.join(build, "tools", "encoder_command"), video, os.path.join(folder, "unused.mp4"),
                  "--mode", "1").splitlines()
    lines = run(morlenc, *command).split()
    assert lines == ["1", "3", "2", "320", "3", "240", "4", "0"], lines
    # Everything but a probe is the full encoder's, found beside the real file.
    assert run(morlenc, "--version").startswith("morlenc "), "the full encoder answers through the link"
    print("morlenc probes: 3 s, 320 x 240, and hands the rest over")


def check_kelvaro(root, folder):
    kelvaro = os.path.join(root, "usr/bin/kelvaro")
    version = run(kelvaro, "--version").split()[1]
    # The About box reads its version from the file beside the program.
    with open(os.path.join(root, "usr/lib/kelvaro/version.ini")) as shipped:
        assert f"Version={version}" in shipped.read().split(), version
    home = os.path.join(folder, "home")
    config = os.path.join(home, ".config")
    os.makedirs(config)
    with open(os.path.join(config, "kelvaro.ini"), "w") as profile:
        profile.write("[Tip]\nStartUp=1\n")
    env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=config, QT_QPA_PLATFORM="offscreen")
    process = subprocess.Popen([kelvaro], env=env, cwd=home, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                               text=True)
    try:
        # Running once it has drawn its icons through the SVG plugin.
        maps = f"/proc/{process.pid}/maps"
        wait_for(lambda: process.poll() is None and "libqsvg.so" in open(maps).read(),
                 "kelvaro to start and load its SVG plugin")
        process.send_signal(signal.SIGTERM)
        output, _ = process.communicate(timeout=30)
    finally:
        if process.poll() is None:
            process.kill()
    assert process.returncode == 0, f"kelvaro ended with {process.returncode}:\n{output}"
    saved = glob.glob(os.path.join(root, "usr/lib/kelvaro/option.ini")) + \
        glob.glob(os.path.join(config, "kelvaro/option.ini"))
    assert saved, "no option.ini written"
    print(f"kelvaro started without a display, ended on SIGTERM, saved {os.path.relpath(saved[0], folder)}")


def check_plugin_dependencies(package):
    """The packages of the plugins Qt loads at run time are among the
    package's dependencies: linking does not show them."""
    depends = run("dpkg-deb", "--field", package, "Depends")
    names = {relation.split()[0] for relation in depends.split(",")}
    for plugin in ("multimedia/libffmpegmediaplugin.so", "imageformats/libqsvg.so"):
        path = glob.glob(f"/usr/lib/*/qt6/plugins/{plugin}")
        assert path, f"{plugin} is not on this system"
        owner = run("dpkg-query", "--search", path[0]).split(":")[0]
        assert owner in names, f"{owner} (holds {plugin}) is not in Depends: {depends}"
    print(f"Depends: {depends.strip()}")


def main():
    missing = [tool for tool in TOOLS if shutil.which(tool) is None]
    if missing:
        print(f"SKIPPED: the packaging tools {', '.join(missing)} are missing (scripts/setup installs them)")
        return SKIPPED
    build = os.path.abspath(sys.argv[1])
    with tempfile.TemporaryDirectory(prefix="kelvaro-package-") as folder:
        package = build_package(build, os.path.join(folder, "package"))
        check_lintian(package)
        check_plugin_dependencies(package)
        print(run("apt-get", "install", "--simulate", package).strip().splitlines()[-1])
        root = os.path.join(folder, "root")
        run("dpkg-deb", "-x", package, root)
        check_metadata(root)
        check_morlenc(root, build, folder)
        check_kelvaro(root, folder)
    print("the package is sound")
    return 0


if __name__ == "__main__":
    sys.exit(main())
