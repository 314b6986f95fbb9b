"""Files that appear whole or not at all: written under a temporary name in
their folder (which names this host and process), then renamed."""
import glob
import os
import socket


def _temporary_prefix(path):
    folder, name = os.path.split(path)
    return os.path.join(folder, f".{name}.{socket.gethostname()}.")


def write_atomic(path, write):
    """Runs `write(file)` on a temporary file beside `path`, then renames it
    to `path`: readers see the whole file or none."""
    temporary = f"{_temporary_prefix(path)}{os.getpid()}.tmp"
    try:
        with open(temporary, "w", encoding="utf-8") as f:
            write(f)
            f.flush()
            os.fsync(f.fileno())
        os.replace(temporary, path)
    finally:
        if os.path.exists(temporary):
            os.unlink(temporary)


def remove_stale_temporaries(path):
    """Temporary files for `path` left by killed processes of this host."""
    prefix = _temporary_prefix(path)
    for temporary in glob.glob(glob.escape(prefix) + "*.tmp"):
        pid = temporary[len(prefix):-len(".tmp")]
        if pid.isdigit() and not _alive(int(pid)):
            try:
                os.unlink(temporary)
            except FileNotFoundError:
                pass


def _alive(pid):
    try:
        os.kill(pid, 0)
    except ProcessLookupError:
        return False
    except PermissionError:
        pass
    return True
