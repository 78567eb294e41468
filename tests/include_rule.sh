#!/bin/sh
# Fails when a file outside src/app/ that is not a *_glue.cpp includes a header of src/app/.
src=${1:?usage: include_rule.sh SRC_DIR}
bad=$(grep -rlE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"app/' "$src" \
    | grep -v "^$src/app/" | grep -v '_glue\.cpp$')
if [ -n "$bad" ]; then
    echo "these files include app/ but are neither glue files nor part of src/app/:"
    echo "$bad"
    exit 1
fi
echo "include rule holds"
