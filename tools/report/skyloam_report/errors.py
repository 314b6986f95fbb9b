"""The one error type of the report tool."""


class ReportError(Exception):
    """A problem with the input, reported as one line without a traceback."""
