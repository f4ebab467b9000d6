#!/usr/bin/env bash
# Translates an annotated example, compiles the result as a user would,
# runs it under MPI on two processes and shows what was tuned.
set -euo pipefail
build=${1:-build}
example=${2:-examples/matvec.f}
folder=$(dirname "$example")
name=$(basename "$example" .f)

rm -rf "$folder/Vexnor"
"$build/vexnorscript" "$example"
cd "$folder/Vexnor"
mpif90 -fallow-argument-mismatch -I "$OLDPWD/$build/vex_data" "Vexnor_$name.f" -o "$name"
echo "---- running $name under mpirun -np 2"
OMPI_ALLOW_RUN_AS_ROOT=1 OMPI_ALLOW_RUN_AS_ROOT_CONFIRM=1 \
  mpirun --oversubscribe -np 2 "./$name"
echo "---- best case per problem size"
for file in Vexnor_*Param.dat; do
  echo "$file:"
  cat "$file"
done
