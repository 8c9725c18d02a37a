"""Runs Orca unchanged, except that its --debug-file is written line by line, so that a test
reads each spoken line as it is said (Orca's own file keeps up to 8 KiB back).
    orca_line_buffered.py --debug-file=LOG [ORCA-ARGUMENTS...]"""
import builtins
import runpy
import sys

_open = builtins.open
debug_file = next((a.split("=", 1)[1] for a in sys.argv if a.startswith("--debug-file=")), None)


def line_buffered_open(file, mode="r", *args, **kwargs):
    if debug_file and file == debug_file and mode == "w" and not args and "buffering" not in kwargs:
        kwargs["buffering"] = 1
    return _open(file, mode, *args, **kwargs)


builtins.open = line_buffered_open
sys.argv[0] = "/usr/bin/orca"
runpy.run_path("/usr/bin/orca", run_name="__main__")
