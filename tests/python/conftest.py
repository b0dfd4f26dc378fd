"""Shared fixtures: the built metdb tool, and small databases made with it."""

import json
import os
import subprocess

import pytest

import metdb

STATIONS = """name,state,country,continent,level,latitude,longitude,auxValue,seriesC1,seriesA1
Zürich,Zürich,Switzerland,Europe,1,47.3769,8.5417,7,3,-1.5
Bern,Bern,Switzerland,Europe,2,46.948,7.4474,0,0,0
Oslo,Oslo,Norway,Europe,1,59.9139,10.7522,0,0,0
Bergen,Vestland,Norway,Europe,2,60.3913,5.3221,0,0,0
Tromsø,Troms,Norway,Europe,3,69.6492,18.9553,0,0,0
Nairobi,Nairobi,Kenya,Africa,1,-1.2921,36.8219,0,0,0
Lima,Lima,Peru,South America,1,-12.0464,-77.0428,0,0,0
"""


class Tool:
    """The built metdb program (METDB_TOOL), run as a user would run it."""

    def __init__(self, path):
        self.path = path

    def run(self, *args, check=True):
        done = subprocess.run(
            [self.path, *map(str, args)], capture_output=True, text=True, check=False
        )
        if check and done.returncode != 0:
            raise AssertionError(f"metdb {args} failed: {done.stderr}")
        return done

    def records(self, db):
        """Every field of the database's locations as the tool exports them (JSON)."""
        return json.loads(self.run("--db", db, "export", "--format", "json").stdout)


@pytest.fixture(scope="session")
def tool():
    path = os.environ.get("METDB_TOOL")
    if not path:
        pytest.fail("METDB_TOOL must name the built metdb program")
    return Tool(path)


def write_stations(folder, text=STATIONS, name="stations.csv"):
    path = folder / name
    path.write_text(text, encoding="utf-8")
    return path


@pytest.fixture
def db_path(tmp_path, tool):
    """A fresh database of STATIONS, made by the tool."""
    path = tmp_path / "st.bmt"
    tool.run("--db", path, "create", write_stations(tmp_path))
    return path


@pytest.fixture
def db(db_path):
    """db_path opened for writing; closed afterwards."""
    with metdb.open(db_path) as opened:
        yield opened
