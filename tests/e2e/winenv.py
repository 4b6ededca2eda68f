"""Running the Windows builds under wine: loaders, prefixes and an X server."""
import contextlib
import os
import shutil
import subprocess
import sys
import tempfile
import time

ROOT = os.environ.get("TESSARO_ROOT") or os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
SKIP = 77  # ctest's SKIP_RETURN_CODE for these tests


class Skip(Exception):
    pass


def loader(arch):
    return "/usr/lib/wine/wine64" if arch == "x86_64" else "/usr/lib/wine/wine"


def prefix(arch):
    name = "TESSARO_WINEPREFIX64" if arch == "x86_64" else "TESSARO_WINEPREFIX32"
    return os.environ.get(name) or os.path.join(ROOT, "build", "wine64" if arch == "x86_64" else "wine32")


def fonts_conf():
    """The font set wine is shown in every run, made by tools/setup.sh: the same glyphs whatever
    fonts the machine has."""
    folder = os.environ.get("TESSARO_WINE_FONTS") or os.path.join(ROOT, "build", "wine-fonts")
    return os.path.join(folder, "fonts.conf")


def check_can_run(arch):
    if not os.path.exists(fonts_conf()):
        raise Skip("the font set for wine %s is missing (run tools/setup.sh)" % fonts_conf())
    if not os.path.exists(loader(arch)):
        raise Skip("wine loader %s is not installed (run tools/setup.sh)" % loader(arch))
    if arch == "i686" and not os.path.exists("/proc/sys/fs/binfmt_misc/qemu-i386"):
        raise Skip("qemu-i386 is not registered with binfmt_misc: the kernel cannot run 32-bit wine here")


@contextlib.contextmanager
def xserver():
    """A private Xvfb for the duration of a test run; yields the DISPLAY value."""
    xvfb = shutil.which("Xvfb")
    if not xvfb:
        raise Skip("Xvfb is not installed (run tools/setup.sh)")
    read_fd, write_fd = os.pipe()
    proc = subprocess.Popen([xvfb, "-displayfd", str(write_fd), "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
                            pass_fds=(write_fd,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_fd)
    number = b""
    with os.fdopen(read_fd, "rb") as f:
        while not number.endswith(b"\n"):
            chunk = f.read(1)
            if not chunk:
                break
            number += chunk
    if not number.strip():
        proc.kill()
        raise RuntimeError("Xvfb did not start")
    try:
        yield ":" + number.decode().strip()
    finally:
        proc.terminate()
        try:
            proc.wait(10)
        except subprocess.TimeoutExpired:
            proc.kill()


class Wine:
    def __init__(self, arch, display):
        self.arch = arch
        self.env = dict(os.environ)
        self.env.update(WINEPREFIX=prefix(arch), WINEDEBUG="-all", DISPLAY=display, WINEDLLOVERRIDES="mscoree,mshtml=",
                        FONTCONFIG_FILE=fonts_conf())
        os.makedirs(os.path.dirname(prefix(arch)), exist_ok=True)

    def run(self, exe, args, timeout=600, cwd=None):
        """Runs a Windows program; returns (exit code, stdout text, stderr text)."""
        proc = subprocess.run([loader(self.arch), exe] + list(args), env=self.env, cwd=cwd, timeout=timeout,
                              stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        return proc.returncode, proc.stdout.decode("utf-8", "replace"), proc.stderr.decode("utf-8", "replace")

    def unmanaged(self):
        """Whether the prefix's user registry shows windows unmanaged (read from its file: a
        wine process under qemu-i386 costs tens of seconds)."""
        try:
            with open(os.path.join(self.env["WINEPREFIX"], "user.reg"), encoding="utf-8", errors="replace") as f:
                text = f.read()
        except OSError:
            return False
        start = text.find("\n[Software\\\\Wine\\\\X11 Driver]")
        if start < 0:
            return False
        end = text.find("\n[", start + 1)
        return '\n"Managed"="N"' in text[start:end if end >= 0 else len(text)]

    def shutdown(self):
        server = "/usr/lib/wine/wineserver64" if os.path.exists("/usr/lib/wine/wineserver64") else "wineserver"
        subprocess.run([server, "-k"], env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    @staticmethod
    def path(unix_path):
        """The wine path of a file (Z: maps the Unix root)."""
        return "Z:" + os.path.abspath(unix_path).replace("/", "\\")
