"""The `skyloam-mp report` command: a multipath and SNR report of one observation file."""
