"""Command line of `skyloam-mp`: one subcommand per module (`add_command` registers
it, its `run(options, progress)` returns the exit status). Exit status 0 on
success, 1 for bad input (one line on standard error, no traceback), 2 for
bad arguments."""
import argparse
import sys

from skyloam_report import (batch_command, merge_command, network_report_command, report_command,
                            slurm_command)
from skyloam_report.errors import ReportError

COMMANDS = [report_command, batch_command, slurm_command, merge_command, network_report_command]


def argument_parser():
    parser = argparse.ArgumentParser(prog="skyloam-mp",
                                     description="Multipath and SNR analysis of GNSS observation files.")
    commands = parser.add_subparsers(dest="command", required=True)
    for command in COMMANDS:
        command.add_command(commands)
    return parser


def main(argv=None):
    options = argument_parser().parse_args(argv)
    def progress(text):
        if not getattr(options, "quiet", False):
            print(f"skyloam-mp: {text}", file=sys.stderr, flush=True)
    try:
        return options.run(options, progress)
    except (ReportError, OSError) as error:
        print(f"skyloam-mp: error: {error}", file=sys.stderr)
        return 1
