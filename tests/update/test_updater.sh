#!/bin/sh
# A stand-in for the vendor's updater in tests: records how it was started, then prints the
# lines of the file named by KORVANE_TEST_UPDATER_LINES on its standard output, one by one.
# A line "sleep S" pauses S seconds instead; "hang" never ends (the test kills it).
if [ -n "$KORVANE_TEST_UPDATER_RECORD" ]; then
    printf '%s\n' "$$" "$#" "$1" "$(pwd)" > "$KORVANE_TEST_UPDATER_RECORD.tmp"
    mv "$KORVANE_TEST_UPDATER_RECORD.tmp" "$KORVANE_TEST_UPDATER_RECORD"
fi
[ -n "$KORVANE_TEST_UPDATER_LINES" ] || exit 0
while IFS= read -r line; do
    case "$line" in
        "sleep "*) sleep "${line#sleep }" ;;
        hang) exec sleep 3600 ;;
        *) printf '%s\n' "$line" ;;
    esac
done < "$KORVANE_TEST_UPDATER_LINES"
