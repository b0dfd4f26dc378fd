"""Station information: identifiers, elevation, time zone, years of operation."""

import datetime

import pytest

import metdb
from conftest import write_stations

LIST = """name,state,country,continent,latitude,longitude,wmo,icao,elevation,timezone,active_from,active_to
Tromsø,Troms,Norway,Europe,69.6492,18.9553,01026,ENTC,10,Europe/Oslo,1920-01-01,
Bergen,Vestland,Norway,Europe,60.3913,5.3221,01317,ENBR,12,Europe/Oslo,,1990-12-31
Oslo,Oslo,Norway,Europe,59.9139,10.7522,,,,,,
"""


@pytest.fixture
def stations(tmp_path, tool):
    path = tmp_path / "st.bmt"
    tool.run("--db", path, "create", write_stations(tmp_path, LIST))
    with metdb.open(path) as opened:
        yield opened


def test_by_id_gives_the_location_with_its_station_fields(stations):
    tromso = stations.by_id("icao:ENTC")
    assert tromso.name == "Tromsø"
    assert tromso.ids == ["wmo:01026", "icao:ENTC"]
    assert tromso.elevation == 10.0
    assert tromso.timezone == "Europe/Oslo"
    assert tromso.active_from == "1920-01-01" and tromso.active_to is None
    assert stations.by_id("WMO:01317").name == "Bergen"
    assert stations.get(tromso.index).ids == tromso.ids
    with pytest.raises(metdb.NotFoundError):
        stations.by_id("wmo:99999")
    with pytest.raises(metdb.BadInputError):
        stations.by_id("ENTC")


def test_locations_without_information_have_none(stations):
    (oslo,) = [l for l in stations if l.name == "Oslo"]
    assert oslo.ids == [] and oslo.elevation is None and oslo.active_from is None
    assert oslo.timezone == "Europe/Oslo"  # its position's, as the list gives none


def test_active_and_id_filter_queries(stations):
    names = [l.name for l in stations.locations(active=datetime.date(2000, 1, 1))]
    assert names == ["Oslo", "Tromsø"]  # Bergen closed in 1990; Oslo's years are unknown
    assert [l.name for l in stations.locations(id="wmo:01317")] == ["Bergen"]
    near = stations.nearest(60.0, 10.0, count=3, active="1950-06-01")
    assert [n.location.name for n in near] == ["Oslo", "Bergen", "Tromsø"]
    assert stations.find("ENBR")[0].matched_in == "identifier"


def test_to_pandas_has_the_station_columns(stations):
    pandas = pytest.importorskip("pandas")
    frame = stations.to_pandas()
    row = frame[frame["name"] == "Bergen"].iloc[0]
    assert row["ids"] == "wmo:01317 icao:ENBR"
    assert row["elevation"] == 12.0
    assert row["active_to"] == "1990-12-31"
    assert pandas.isna(frame[frame["name"] == "Oslo"].iloc[0]["elevation"])
