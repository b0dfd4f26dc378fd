"""to_pandas: columns built in one walk."""

import sys

import numpy
import pytest

import metdb


def test_to_pandas_matches_the_walk(db):
    pandas = pytest.importorskip("pandas")
    frame = db.to_pandas()
    walked = list(db)
    assert isinstance(frame, pandas.DataFrame)
    assert list(frame["index"]) == [l.index for l in walked]
    assert list(frame["name"]) == [l.name for l in walked]
    assert list(frame["country"].astype(str)) == [l.country for l in walked]
    assert frame["country"].dtype == "category"
    assert frame["latitude"].dtype == numpy.float32
    assert frame["seriesC1"].dtype == numpy.int16
    zurich = frame[frame["name"] == "Zürich"].iloc[0]
    assert (zurich["auxValue"], zurich["seriesC1"], zurich["seriesA1"]) == (7, 3, -1.5)
    assert len(frame.columns) == 1 + 4 + 4 + 5 * 12 + 5  # and the station columns
    assert list(db.to_pandas(country="Norway")["name"]) == ["Oslo", "Tromsø", "Bergen"]


def test_to_pandas_says_pandas_is_needed(db, monkeypatch):
    monkeypatch.setitem(sys.modules, "pandas", None)
    with pytest.raises(ImportError, match="needs pandas"):
        db.to_pandas()
