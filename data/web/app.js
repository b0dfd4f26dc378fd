// The map page of metdb serve: every location as a dot on a canvas over the
// countries' outlines, a search that asks the server as one types, a click
// that asks for the nearest locations, and a location's record with its
// five monthly series as a chart. Everything comes from the server's own
// API; nothing from elsewhere.
(function () {
  'use strict';
  var ITEMS = '/collections/locations/items';
  var SERIES = ['A', 'B', 'C', 'D', 'E'];
  var COLOURS = ['#d62728', '#1f77b4', '#2ca02c', '#9467bd', '#ff7f0e'];

  var map = L.map('map', { worldCopyJump: true, preferCanvas: true, minZoom: 1, maxZoom: 14 })
      .setView([20, 0], 2);
  var status = document.getElementById('status');
  var results = document.getElementById('results');
  var recordPanel = document.getElementById('record');
  var search = document.getElementById('search');
  var selected = L.circleMarker([0, 0], { radius: 7, color: '#000', weight: 2, fill: false });

  function json(url) {
    return fetch(url, { headers: { Accept: 'application/json' } }).then(function (r) {
      return r.json().then(function (body) {
        if (!r.ok) throw new Error(body.description || ('HTTP ' + r.status));
        return body;
      });
    });
  }

  fetch('/map/outlines.json').then(function (r) { return r.ok ? r.json() : null; }).then(function (g) {
    if (!g) return;
    L.geoJSON(g, { interactive: false,
      style: { color: '#888', weight: 0.6, fillColor: '#f7f4ec', fillOpacity: 1 } }).addTo(map);
    dots.bringToFront();
  });

  // Every location as a dot: one canvas drawn again after each move.
  var Dots = L.Layer.extend({
    onAdd: function (m) {
      this._canvas = L.DomUtil.create('canvas', 'leaflet-zoom-hide');
      this._canvas.style.pointerEvents = 'none';
      m.getPanes().overlayPane.appendChild(this._canvas);
      m.on('moveend zoomend resize', this._draw, this);
      this._points = [];
      this._draw();
    },
    onRemove: function (m) {
      L.DomUtil.remove(this._canvas);
      m.off('moveend zoomend resize', this._draw, this);
    },
    bringToFront: function () {
      if (this._canvas) this._canvas.parentNode.appendChild(this._canvas);
    },
    setPoints: function (points) { this._points = points; this._draw(); },
    _draw: function () {
      var m = this._map;
      if (!m) return;
      var size = m.getSize();
      var topLeft = m.containerPointToLayerPoint([0, 0]);
      L.DomUtil.setPosition(this._canvas, topLeft);
      this._canvas.width = size.x;
      this._canvas.height = size.y;
      var ctx = this._canvas.getContext('2d');
      ctx.fillStyle = 'rgba(200, 30, 30, 0.75)';
      var r = m.getZoom() < 4 ? 1.5 : 2.5;
      var pts = this._points;
      var bounds = m.getBounds().pad(0.05);
      var west = bounds.getWest(), east = bounds.getEast();
      for (var i = 0; i < pts.length; i += 3) {
        var lat = pts[i + 1];
        var lon = pts[i];
        if (lat < bounds.getSouth() || lat > bounds.getNorth()) continue;
        // The world repeats sideways: draw each point in the copy in view.
        while (lon < west) lon += 360;
        while (lon > east) lon -= 360;
        if (lon < west) continue;
        var p = m.latLngToContainerPoint([lat, lon]);
        ctx.fillRect(p.x - r, p.y - r, 2 * r, 2 * r);
      }
    }
  });
  var dots = new Dots().addTo(map);
  json('/map/points').then(function (p) {
    dots.setPoints(p.points);
    status.textContent = (p.points.length / 3).toLocaleString('en') + ' locations';
  }).catch(function (e) { status.textContent = e.message; });

  function pathOf(p) { return [p.continent, p.country, p.state, p.name].join(' / '); }

  function showList(features, title) {
    results.innerHTML = '';
    status.textContent = title;
    features.forEach(function (f) {
      var li = document.createElement('li');
      var p = f.properties;
      li.className = 'hit';
      li.textContent = p.name + ' ';
      var where = document.createElement('span');
      where.className = 'where';
      where.textContent = (p.state !== p.name ? p.state + ', ' : '') + p.country +
          (p.distanceKm !== undefined ? ' (' + p.distanceKm.toFixed(0) + ' km)' : '');
      li.appendChild(where);
      li.addEventListener('click', function () { showRecord(f, true); });
      results.appendChild(li);
    });
  }

  function row(table, label, value) {
    var tr = table.insertRow();
    tr.insertCell().textContent = label;
    tr.insertCell().textContent = value;
  }

  function chart(p) {
    var c = document.createElement('canvas');
    c.id = 'chart';
    c.width = 310;
    c.height = 150;
    var ctx = c.getContext('2d');
    var values = [];
    SERIES.forEach(function (s) {
      for (var m = 1; m <= 12; m++) if (typeof p['series' + s + m] === 'number') values.push(p['series' + s + m]);
    });
    var lo = Math.min.apply(null, values.concat([0])), hi = Math.max.apply(null, values.concat([1]));
    if (hi === lo) hi = lo + 1;
    var x = function (m) { return 30 + (m - 1) * 25; };
    var y = function (v) { return 135 - (v - lo) / (hi - lo) * 120; };
    ctx.strokeStyle = '#ccc';
    ctx.fillStyle = '#666';
    ctx.font = '10px sans-serif';
    ctx.beginPath(); ctx.moveTo(28, y(0)); ctx.lineTo(308, y(0)); ctx.stroke();
    ctx.fillText(String(Math.round(hi)), 2, 18);
    ctx.fillText(String(Math.round(lo)), 2, 138);
    'JFMAMJJASOND'.split('').forEach(function (l, i) { ctx.fillText(l, x(i + 1) - 3, 148); });
    SERIES.forEach(function (s, k) {
      ctx.strokeStyle = COLOURS[k];
      ctx.beginPath();
      for (var m = 1; m <= 12; m++) {
        var v = p['series' + s + m];
        if (typeof v !== 'number') continue;
        if (m === 1) ctx.moveTo(x(m), y(v)); else ctx.lineTo(x(m), y(v));
      }
      ctx.stroke();
    });
    return c;
  }

  function showRecord(f, pan) {
    var p = f.properties;
    recordPanel.hidden = false;
    recordPanel.innerHTML = '';
    var h = document.createElement('h2');
    h.textContent = p.name;
    recordPanel.appendChild(h);
    var t = document.createElement('table');
    row(t, 'Path', pathOf(p));
    row(t, 'Position', p.latitude + ', ' + p.longitude);
    row(t, 'Level', p.level);
    row(t, 'Record', f.id);
    // The station file's columns where known (a database without one has
    // none); each scheme's column repeats an identifier of ids.
    if (p.ids && p.ids.length) row(t, 'Identifiers', p.ids.join(' '));
    if (typeof p.elevation === 'number') row(t, 'Elevation', p.elevation + ' m');
    if (p.timezone) row(t, 'Time zone', p.timezone);
    if (p.active_from || p.active_to) {
      row(t, 'In operation', (p.active_from || '\u2026') + ' \u2013 ' + (p.active_to || '\u2026'));
    }
    if (p.source) row(t, 'Source', p.source);
    // Any further field as it comes.
    var shown = ['name', 'state', 'country', 'continent', 'latitude', 'longitude', 'level', 'index',
      'distanceKm', 'bearing', 'ids', 'elevation', 'timezone', 'active_from', 'active_to', 'source'];
    Object.keys(p).forEach(function (k) {
      if (/^series[A-E]\d+$/.test(k) || shown.indexOf(k) >= 0 || p[k] === null) return;
      if (p.ids && p.ids.indexOf(k + ':' + p[k]) >= 0) return;
      row(t, k, p[k]);
    });
    recordPanel.appendChild(t);
    recordPanel.appendChild(chart(p));
    var legend = document.createElement('div');
    legend.className = 'legend';
    SERIES.forEach(function (s, k) {
      var span = document.createElement('span');
      span.style.color = COLOURS[k];
      span.textContent = '\u25A0 series' + s;
      legend.appendChild(span);
    });
    recordPanel.appendChild(legend);
    if (f.geometry) {
      var ll = [f.geometry.coordinates[1], f.geometry.coordinates[0]];
      selected.setLatLng(ll).addTo(map);
      if (pan) map.panTo(ll);
    }
  }

  // Search as one types: the latest answer wins.
  var asked = 0, timer = null;
  search.addEventListener('input', function () {
    clearTimeout(timer);
    var text = search.value.trim();
    if (!text) { results.innerHTML = ''; status.textContent = ''; return; }
    timer = setTimeout(function () {
      var n = ++asked;
      json(ITEMS + '?limit=20&q=' + encodeURIComponent(text)).then(function (doc) {
        if (n !== asked) return;
        showList(doc.features, doc.numberMatched + ' found for \u201c' + text + '\u201d');
        if (doc.features.length) showRecord(doc.features[0], true);
      }).catch(function (e) { if (n === asked) status.textContent = e.message; });
    }, 120);
  });

  map.on('click', function (e) {
    var ll = e.latlng.wrap();
    var n = ++asked;
    json(ITEMS + '?k=10&near=' + ll.lat.toFixed(5) + ',' + ll.lng.toFixed(5)).then(function (doc) {
      if (n !== asked) return;
      showList(doc.features, 'Nearest to ' + ll.lat.toFixed(2) + ', ' + ll.lng.toFixed(2));
      if (doc.features.length) showRecord(doc.features[0], false);
    }).catch(function (e) { status.textContent = e.message; });
  });
})();
