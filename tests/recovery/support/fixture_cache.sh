# Sourced by the fixture scripts (make_*_fixtures.sh): each builds its folder once for every change of
# its inputs, one build at a time when CTest runs several tests that need it. Not a program of its own.
#
#   fixture_begin OUTDIR INPUT...   exits the calling script when OUTDIR was built from these inputs (the
#                                   script itself among them); else holds OUTDIR.lock, checks once more
#                                   and leaves OUTDIR empty for the build
#   fixture_done                    marks OUTDIR as built from them

fixture_begin() {
    FIXTURE_OUT=$1
    shift
    FIXTURE_STAMP=$(sha256sum "$@" | sha256sum | cut -d' ' -f1)
    fixture_is_current && exit 0
    mkdir -p "$(dirname "$FIXTURE_OUT")"
    exec 9>"$FIXTURE_OUT.lock"
    flock 9
    fixture_is_current && exit 0
    rm -rf "$FIXTURE_OUT"
    mkdir -p "$FIXTURE_OUT"
}

fixture_is_current() {
    [[ -f $FIXTURE_OUT/.stamp && $(<"$FIXTURE_OUT/.stamp") == "$FIXTURE_STAMP" ]]
}

fixture_done() {
    echo "$FIXTURE_STAMP" >"$FIXTURE_OUT/.stamp"
}
