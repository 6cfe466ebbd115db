# Run as a package (discover -t tools/elf2pe) the tests still import their
# helpers as the top-level module `support`, as when run from this folder.
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
