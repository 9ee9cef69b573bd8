#!/bin/sh
# Runs a program under Valgrind memcheck. Any memory error or leak makes it
# exit 99, which no end-to-end case expects.
exec valgrind --quiet --error-exitcode=99 --leak-check=full \
  --errors-for-leak-kinds=definite,indirect "$@"
