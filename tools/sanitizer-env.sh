# Sourced by test.sh: sanitizer settings for running the suite built with
# KRV_SANITIZE=ON. Any report fails the test that caused it.
tools_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
export ASAN_OPTIONS="halt_on_error=1:abort_on_error=0:detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1:check_initialization_order=1:exitcode=23"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1:exitcode=24:suppressions=$tools_dir/ubsan.supp"
export LSAN_OPTIONS="suppressions=$tools_dir/lsan.supp:print_suppressions=0"
