"""metdb: databases of meteorological locations, for Python programs.

A database is a data file (NAME.bmt) of location records and its directory
file (NAME.dir). Open one with metdb.open(); iterate it for its locations,
query it (locations, find, nearest, to_pandas) and change it (add, set,
set_where, delete, rename, compact, import_from) as the metdb tool does.
"""


class Error(Exception):
    """A failure of metdb: str(error) is one sentence naming what is at fault."""


class NotFoundError(Error, LookupError):
    """No such database, location or record."""


class BusyError(Error):
    """Another process kept the database locked for longer than the wait."""


class BadInputError(Error, ValueError):
    """A value, path, filter or station list that is wrong."""


class ReadOnlyError(Error):
    """A change asked of a database opened read-only."""


class ClosedError(Error):
    """The database was closed."""


class MetdbWarning(UserWarning):
    """Something worth knowing that did not stop the work (a name cut to its field)."""


from ._metdb import (  # noqa: E402
    Database,
    Location,
    LocationIterator,
    Match,
    Near,
    library_version,
)

__all__ = [
    "BadInputError",
    "BusyError",
    "ClosedError",
    "Database",
    "Error",
    "Location",
    "LocationIterator",
    "Match",
    "MetdbWarning",
    "Near",
    "NotFoundError",
    "ReadOnlyError",
    "library_version",
    "open",
]


def open(path, readonly=False, wait=120.0):
    """Opens the database whose data file is path (str or os.PathLike).

    readonly=False holds the database lock from now until close(), so that
    other processes wait while this one may change it; readonly=True takes
    the lock only while opening. wait: how long to wait, in seconds, for
    another process that holds the database (then BusyError). Never creates
    a database (NotFoundError when there is none; make one with
    "metdb create"). One database is open at a time in a process. Use it in
    a with statement, which closes it.
    """
    import os

    return Database(os.fspath(path), readonly, float(wait))


def _to_pandas(self, **filters):
    """The locations the filters select (as for locations()) as a pandas DataFrame.

    One row per location in walk order: index (the record index), name,
    state, country and continent (the last three as categories), level,
    latitude, longitude, auxValue, seriesA1..seriesE12, and the station
    file's ids (blank-separated), elevation (NaN when unknown), timezone,
    active_from and active_to (None when unknown). Built column by
    column, without a Python object per location but the names. Needs
    pandas (ImportError otherwise).
    """
    try:
        import pandas
    except ImportError as missing:
        raise ImportError(
            "Database.to_pandas needs pandas, which is not installed "
            "(apt install python3-pandas, or pip install pandas)."
        ) from missing
    columns = self._columns(**filters)
    data = {}
    for key, value in columns.items():
        if isinstance(value, tuple):
            codes, categories = value
            value = pandas.Categorical.from_codes(codes, categories=categories)
        data[key] = value
    return pandas.DataFrame(data, copy=False)


Database.to_pandas = _to_pandas
