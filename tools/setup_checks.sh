# shellcheck shell=bash
# Shared by install.sh and uninstall.sh: whether the printer queue and the Calc
# add-in are there. Sourced, not run.

orvik_queue=OrvikExcelToPDF
orvik_extension=example.orvik-software.excel-to-pdf

orvik_queue_installed() {
    lpstat -p "$orvik_queue" >/dev/null 2>&1
}

# unopkg as the add-in runs it: no terminal, its scratch files in a folder of
# ours, bounded; the shared folder of ORVIK_ADDIN_SHARED_DIR when that is set.
orvik_addin_installed() {
    local unopkg=/usr/lib/libreoffice/program/unopkg scratch listed=1
    [ -x "$unopkg" ] || unopkg=$(command -v unopkg) || return 1
    scratch=$(mktemp -d)
    local env_args=()
    if [ -n "${ORVIK_ADDIN_SHARED_DIR:-}" ]; then
        local url
        url="file://$(printf '%s' "$ORVIK_ADDIN_SHARED_DIR" | sed 's/%/%25/g; s/ /%20/g')"
        env_args=("-env:UNO_SHARED_PACKAGES=$url" "-env:UNO_SHARED_PACKAGES_CACHE=$url/cache")
    fi
    # The whole listing first: grep -q leaving early would break the pipe (pipefail).
    local listing
    listing=$(TMPDIR=$scratch XDG_CACHE_HOME=$scratch timeout -s KILL 120 \
        "$unopkg" list --shared "$orvik_extension" "${env_args[@]}" </dev/null 2>&1) || true
    case "$listing" in
        *"Identifier: $orvik_extension"*) listed=0 ;;
    esac
    rm -rf "$scratch"
    return $listed
}

# Names what is missing after an installation, empty when nothing is.
orvik_setup_missing() {
    local missing=()
    orvik_queue_installed || missing+=("the printer queue $orvik_queue is")
    orvik_addin_installed || missing+=("the Calc add-in ($orvik_extension) is")
    [ -x "$1/orvik-xl2pdf" ] && [ -x "$1/OrvikUnregister" ] || missing+=("the programs in $1 are")
    local IFS=';' text
    text="${missing[*]:-}"
    echo "${text//;/ and }"
}

# Names what is left after a removal, empty when nothing is.
orvik_setup_left() {
    local left=()
    orvik_queue_installed && left+=("the printer queue $orvik_queue")
    orvik_addin_installed && left+=("the Calc add-in ($orvik_extension)")
    [ -e "$1" ] && left+=("the folder $1")
    local IFS=';' text
    text="${left[*]:-}"
    echo "${text//;/ and }"
}
