#!/bin/sh
# Checks a built DLL's PE headers: exactly the expected names in its export
# table, undecorated, and imports from system DLLs only.
#   check_pe.sh OBJDUMP DLL ALLOWED_IMPORTS EXPORT...
# ALLOWED_IMPORTS is a comma-separated list of DLL names, any case.
set -u
objdump=$1 dll=$2 allowed=$3
shift 3
headers=$("$objdump" -p "$dll") || { echo "cannot read $dll"; exit 1; }

exports=$(printf '%s\n' "$headers" |
    sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | sed -n 's/^[[:space:]]*\[ *[0-9]*\] //p' | sort)
expected=$(printf '%s\n' "$@" | sort)
status=0
if [ "$exports" != "$expected" ]; then
    echo "export table differs"
    echo "expected:"; printf '%s\n' "$expected"
    echo "found:"; printf '%s\n' "$exports"
    status=1
fi

allowed=$(printf '%s' "$allowed" | tr 'a-z,' 'A-Z ')
for import in $(printf '%s\n' "$headers" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'a-z' 'A-Z'); do
    case " $allowed " in
    *" $import "*) ;;
    *) echo "unexpected import: $import"; status=1 ;;
    esac
done
[ $status -eq 0 ] && echo "exports and imports as expected"
exit $status
