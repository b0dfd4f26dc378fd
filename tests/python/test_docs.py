"""The examples of docs/python.md and README.md run as written."""

import pathlib
import re

import pytest

from conftest import write_stations

ROOT = pathlib.Path(__file__).resolve().parents[2]


def examples(document):
    return re.findall(r"```python\n(.*?)```", (ROOT / document).read_text(), re.S)


@pytest.mark.parametrize("document", ["docs/python.md", "README.md"])
def test_examples_run(document, tool, tmp_path, monkeypatch):
    pytest.importorskip("pandas")
    monkeypatch.chdir(tmp_path)
    tool.run("--db", "stations.bmt", "create", write_stations(tmp_path))
    tool.run("--db", "other.bmt", "create",
             write_stations(tmp_path, "name,state,country,continent,latitude,longitude\n"
                            "Quito,Pichincha,Ecuador,South America,-0.18,-78.47\n", "other.csv"))
    found = examples(document)
    assert found
    # One namespace, as a reader runs them one after another.
    namespace = {"print": lambda *args, **kwargs: None}
    for code in found:
        exec(compile(code, document, "exec"), namespace)
    assert tool.run("--db", "stations.bmt", "check").returncode == 0
