"""A test's folder of its own under TMPDIR (or /tmp): removed when the test passes,
kept, and named on stderr, when it fails."""

import contextlib
import shutil
import sys
import tempfile


@contextlib.contextmanager
def work_folder(name, failed=lambda: False):
    """Yields vorimel-NAME-XXXXXXXX's path. The test failed when the block raises (an
    assertion) or when failed() says so at its end."""
    folder = tempfile.mkdtemp(prefix=f'vorimel-{name}-')
    try:
        yield folder
    except BaseException:
        print(f'{folder}: kept, the test failed', file=sys.stderr)
        raise
    if failed():
        print(f'{folder}: kept, the test failed', file=sys.stderr)
    else:
        shutil.rmtree(folder)
