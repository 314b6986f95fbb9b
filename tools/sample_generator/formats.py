"""How the observation reader will name what the generator writes.

Contract: RINEX 3 files keep the generator's three-character codes. RINEX 2
files carry two-character types (a P-code pseudorange becomes P<band>, any
other C<band>) for GPS, GLONASS and Galileo only, and the reader stores a
type under the code of its fixed table (C1 -> C1C, P2 -> C2P, L2 -> L2C,
C5 -> C5X ...) or not at all (C7, L7 ...). `stored_code` answers with the
code the analysis will see, or None when the value is not read;
`stored_phase_codes` the carrier phases a track's satellite will have.
"""
RINEX2_SYSTEMS = "GRE"
RINEX3_SYSTEMS = "GREC"

READER_RINEX2_TYPES = {
    "C1": "C1C", "C2": "C2C", "P1": "C1P", "P2": "C2P",
    "L1": "L1C", "L2": "L2C", "D1": "D1C", "D2": "D2C",
    "S1": "S1C", "S2": "S2C", "C5": "C5X", "L5": "L5X",
    "D5": "D5X", "S5": "S5X",
}


def rinex2_type(code):
    """RINEX 2 type of a three-character code: C2W -> P2, L2W -> L2, C1C -> C1."""
    kind, band, attribute = code
    if kind == "C" and attribute in "PW":
        return "P" + band
    return kind + band


def written_systems(rinex2):
    return RINEX2_SYSTEMS if rinex2 else RINEX3_SYSTEMS


def stored_code(code, rinex2):
    """The code under which the reader keeps a written value, or None."""
    if not rinex2:
        return code
    return READER_RINEX2_TYPES.get(rinex2_type(code))


def stored_phase_codes(track, rinex2):
    """Band -> carrier-phase code as the reader keeps it, for the bands it keeps."""
    codes = {}
    for band, band_track in track.bands.items():
        code = stored_code("L" + band + band_track.signal.attribute, rinex2)
        if code:
            codes[band] = code
    return codes
