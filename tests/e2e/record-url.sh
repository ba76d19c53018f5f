#!/bin/sh
# Stands in for the browser under Wine's browser hook: appends the address it is
# given (the second argument) to the file named by the first.
printf '%s\n' "$2" >> "$1"
