// The hall board in a browser: the theme's look, today's latest calls, new
// calls over a web socket (newest on top, highlighted), the ticker and the
// clock. After the service or the database restarts it reconnects by itself
// and asks for the calls after the last one it showed, so none is lost.
(function () {
  'use strict';
  var params = new URLSearchParams(location.search);
  var theme = params.get('theme') || '';
  var lang = params.get('lang') || '';
  var rows = 6;
  var after = 0;
  var seen = {};
  var shown = []; // the calls on the list, newest first
  var clockFormat = 'HH:mm:ss';
  var design = null;
  var soundOn = false;
  var queue = [];
  var playing = false;
  var retry = 1000;
  var rowsEl = document.getElementById('rows');
  var statusEl = document.getElementById('status');

  function px(points) {
    // Theme sizes are points on a full-HD board; the page scales with its window.
    return (points * 1.333 * window.innerHeight / 1080).toFixed(1) + 'px';
  }

  function font(el, f) {
    if (!f) return;
    if (f.family) el.style.fontFamily = '"' + f.family.replace(/["\\]/g, '') + '", Arial, sans-serif';
    if (f.size) el.style.fontSize = px(f.size);
  }

  function applyDesign(d) {
    design = d;
    rows = d.rows || 6;
    var c = d.colors || {};
    document.body.style.background = c.screen || '#000';
    var title = document.getElementById('title');
    title.textContent = d.title || '';
    title.style.color = d.titleColor || '#fff';
    font(title, d.titleFont);
    var clock = document.getElementById('clock');
    clock.hidden = !d.showClock;
    clockFormat = d.clockFormat || 'HH:mm:ss';
    tick();
    clock.style.color = c.clock || '#fff';
    font(clock, d.fonts && d.fonts.clock);
    var head = document.getElementById('head');
    head.hidden = !d.header;
    ['caption1', 'caption2'].forEach(function (id, i) {
      var th = document.getElementById(id);
      th.textContent = (d.captions && d.captions[i]) || '';
      th.style.background = c.headerBack || '#404040';
      th.style.color = c.headerText || '#fff';
      th.style.borderColor = c.line || '#808080';
      font(th, d.fonts && d.fonts.header);
    });
    document.getElementById('ticker').style.background = c.news || '#202020';
    document.getElementById('calls').style.background = c.background || '#000';
    var sound = document.getElementById('sound');
    sound.textContent = soundOn ? (d.soundOff || 'Sound off') : (d.soundOn || 'Sound on');
  }

  function styleRow(tr, index) {
    var c = (design && design.colors) || {};
    var f = (design && design.fonts) || {};
    var back = index % 2 === 0 ? (c.alternate || '#202020') : (c.background || '#000');
    tr.cells[0].style.color = c.token || '#fff';
    tr.cells[1].style.color = c.counter || '#fff';
    for (var i = 0; i < 2; i++) {
      tr.cells[i].style.background = back;
      tr.cells[i].style.borderColor = c.line || '#808080';
    }
    font(tr.cells[0], f.token);
    font(tr.cells[1], f.counter);
  }

  function restyle() {
    for (var i = 0; i < rowsEl.rows.length; i++) styleRow(rowsEl.rows[i], i);
  }

  function makeRow(call) {
    var tr = document.createElement('tr');
    var token = document.createElement('td');
    var counter = document.createElement('td');
    if (call) {
      token.textContent = call.token;
      counter.textContent = call.counter;
      if (call.room) {
        var room = document.createElement('span');
        room.className = 'room';
        room.textContent = call.room;
        counter.appendChild(room);
      }
    } else {
      tr.className = 'blank';
      token.textContent = '\u00a0';
      counter.textContent = '\u00a0';
    }
    tr.appendChild(token);
    tr.appendChild(counter);
    return tr;
  }

  // The list always has the theme's number of lines, so a line keeps its
  // size from the first call on; the newest call is the top one, highlighted.
  function render(fresh) {
    while (rowsEl.rows.length) rowsEl.deleteRow(0);
    for (var i = 0; i < rows; i++) {
      var tr = makeRow(shown[i]);
      if (i === 0 && shown[0]) tr.classList.add(fresh ? 'newest' : 'top');
      rowsEl.appendChild(tr);
    }
    restyle();
  }

  function addCall(call, fresh) {
    if (seen[call.callauto]) return;
    seen[call.callauto] = true;
    after = Math.max(after, call.callauto);
    if (fresh) shown.unshift(call); else shown.push(call);
    if (shown.length > rows) shown.length = rows;
    if (fresh) render(true);
    if (fresh && soundOn) say(call.sounds || []);
  }

  function say(files) {
    queue.push('/static/chime.wav');
    files.forEach(function (f) { queue.push(f); });
    if (!playing) playNext();
  }

  function playNext() {
    var next = queue.shift();
    if (!next) { playing = false; return; }
    playing = true;
    var a = new Audio(next);
    a.onended = a.onerror = playNext;
    a.play().catch(playNext);
  }

  function showTicker(messages) {
    document.getElementById('tickerText').textContent = (messages || []).join('   \u2022   ');
  }

  // The theme's time format as the hall board reads it: h/hh, H/HH, m/mm,
  // s/ss, and AP or ap for a twelve-hour clock.
  function formatTime(now, format) {
    var twelve = /ap/i.test(format);
    var h = now.getHours();
    var h12 = h % 12 === 0 ? 12 : h % 12;
    var pad = function (n) { return (n < 10 ? '0' : '') + n; };
    return format.replace(/HH|H|hh|h|mm|m|ss|s|AP|ap/g, function (t) {
      switch (t) {
        case 'HH': return pad(h);
        case 'H': return String(h);
        case 'hh': return pad(twelve ? h12 : h);
        case 'h': return String(twelve ? h12 : h);
        case 'mm': return pad(now.getMinutes());
        case 'm': return String(now.getMinutes());
        case 'ss': return pad(now.getSeconds());
        case 's': return String(now.getSeconds());
        case 'AP': return h < 12 ? 'AM' : 'PM';
        default: return h < 12 ? 'am' : 'pm';
      }
    });
  }

  function tick() {
    document.getElementById('clock').textContent = formatTime(new Date(), clockFormat);
  }

  function status(text) {
    statusEl.textContent = text || '';
    statusEl.hidden = !text;
  }

  function load(first) {
    var q = '?theme=' + encodeURIComponent(theme) + (lang ? '&lang=' + encodeURIComponent(lang) : '');
    return fetch('/api/v1/board' + q, { cache: 'no-store' })
      .then(function (r) { return r.json().then(function (j) { return { ok: r.ok, body: j }; }); })
      .then(function (res) {
        if (!res.ok) { status(res.body.message || 'The board cannot be shown.'); return false; }
        applyDesign(res.body);
        showTicker(res.body.ticker);
        if (first) (res.body.calls || []).forEach(function (c) { addCall(c, false); });
        render(false);
        return true;
      });
  }

  function connect() {
    var proto = location.protocol === 'https:' ? 'wss:' : 'ws:';
    var ws = new WebSocket(proto + '//' + location.host + '/ws/board?theme=' +
                           encodeURIComponent(theme) + '&after=' + after);
    ws.onopen = function () { retry = 1000; status(''); };
    ws.onmessage = function (e) {
      var m;
      try { m = JSON.parse(e.data); } catch (x) { return; }
      if (m.type === 'call') addCall(m, true);
    };
    ws.onclose = function () {
      status('Reconnecting\u2026');
      setTimeout(connect, retry);
      retry = Math.min(retry * 2, 15000);
    };
  }

  document.getElementById('sound').addEventListener('click', function () {
    soundOn = !soundOn;
    this.classList.toggle('on', soundOn);
    if (design) this.textContent = soundOn ? design.soundOff : design.soundOn;
    if (soundOn) say([]);
  });
  window.addEventListener('resize', function () { if (design) { applyDesign(design); restyle(); } });
  tick();
  setInterval(tick, 1000);
  // The look and the ticker are read again now and then: an administrator's
  // change shows without touching the screen.
  setInterval(function () { load(false).catch(function () {}); }, 60000);

  function begin() {
    load(true).then(function (ok) { if (ok) connect(); else setTimeout(begin, 5000); })
      .catch(function () { status('Reconnecting\u2026'); setTimeout(begin, 3000); });
  }
  begin();
})();
