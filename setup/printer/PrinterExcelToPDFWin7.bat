#!/bin/sh
# Installs the printer queue "OrvikExcelToPDF" that the converter's office prints
# each sheet through, into a file of the converter's own choosing.
#
# The queue uses the generic PostScript driver and the device file:///dev/null
# (CUPS allows that one file device even with FileDevice off). It is not shared,
# refuses jobs and is disabled: the office still prints into a file through it,
# but a job that another program sends to it fails visibly instead of vanishing.
#
# Running it again repairs the queue's settings. Needs administrator rights and a
# running CUPS. Exit codes: 0 installed, 2 CUPS tools missing, 3 CUPS not
# running, 4 not permitted, 5 CUPS refused the queue.

queue=OrvikExcelToPDF
driver=drv:///sample.drv/generic.ppd
reason="Reserved for Orvik Excel To PDF, which prints through it into files only"
self=$0

fail() {
    code=$1
    shift
    printf '%s\n' "$*" >&2
    exit "$code"
}

# Prints the output of a failed CUPS command, without lpadmin's driver notice.
show_output() {
    printf '%s\n' "$1" | grep -v 'Printer drivers are deprecated' >&2
}

is_forbidden() {
    case "$1" in
        *Forbidden*|*Unauthorized*|*"not authorized"*|*"Not authorized"*) return 0 ;;
    esac
    return 1
}

for tool in lpstat lpadmin cupsreject cupsdisable; do
    command -v "$tool" >/dev/null 2>&1 ||
        fail 2 "The CUPS command \"$tool\" was not found, so the printer queue \"$queue\" cannot be installed. Install CUPS with: sudo apt-get install cups cups-client"
done

if ! LC_ALL=C lpstat -r 2>/dev/null | grep -q '^scheduler is running'; then
    fail 3 "The printing service (CUPS) is not running, so the printer queue \"$queue\" cannot be installed. Start it with: sudo service cups start (or sudo /usr/sbin/cupsd), then run $self again."
fi

# Without -E a new queue starts stopped and rejecting, so no job can slip in
# before it is closed below; an existing queue keeps its state until then.
if ! out=$(LC_ALL=C lpadmin -p "$queue" -v file:///dev/null -m "$driver" \
               -o printer-is-shared=false </dev/null 2>&1); then
    show_output "$out"
    if is_forbidden "$out" || [ "$(id -u)" -ne 0 ]; then
        fail 4 "Installing the printer queue \"$queue\" needs administrator rights. Run: sudo $self"
    fi
    fail 5 "CUPS refused to install the printer queue \"$queue\" (see above)."
fi

for step in cupsreject cupsdisable; do
    if ! out=$(LC_ALL=C "$step" -r "$reason" "$queue" </dev/null 2>&1); then
        show_output "$out"
        is_forbidden "$out" &&
            fail 4 "Closing the printer queue \"$queue\" needs administrator rights. Run: sudo $self"
        fail 5 "CUPS could not close the printer queue \"$queue\" to other programs' jobs (see above)."
    fi
done

lpstat -p "$queue" >/dev/null 2>&1 ||
    fail 5 "The printer queue \"$queue\" does not show up in CUPS after installing it."

echo "The printer queue \"$queue\" is installed: not shared, and closed to jobs that other programs send."
exit 0
