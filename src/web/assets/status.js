// The visitor's status page: live over a web socket; while the socket is
// down it asks every 15 s and tries the socket again, waiting longer each time.
(function () {
  'use strict';
  var body = document.body;
  var code = body.dataset.code;
  var lang = body.dataset.lang;
  var stage = body.dataset.stage;
  var poll = null;
  var retry = 1000;
  var chime = null;

  function setText(id, text) {
    var el = document.getElementById(id);
    if (el && el.textContent !== text) el.textContent = text;
  }

  function alertVisitor() {
    if (navigator.vibrate) navigator.vibrate([400, 150, 400, 150, 400]);
    try {
      if (!chime) chime = new Audio('/static/chime.wav');
      var p = chime.play();
      if (p && p.catch) p.catch(function () { offerSound(); });
    } catch (e) { offerSound(); }
  }

  // A browser plays sound only after the visitor touched the page once.
  function offerSound() {
    var b = document.getElementById('sound');
    if (!b || !b.hidden) return;
    b.hidden = false;
    b.addEventListener('click', function () {
      chime = new Audio('/static/chime.wav');
      chime.play().catch(function () {});
      b.hidden = true;
    });
  }

  function show(s) {
    if (!s || !s.texts) return;
    setText('token', s.token);
    setText('service', s.service);
    setText('headline', s.texts.headline);
    setText('counter', s.texts.counter);
    setText('ahead', s.texts.ahead);
    setText('nowServing', s.texts.nowServing);
    setText('wait', s.texts.wait);
    body.className = 'stage-' + s.stage;
    if (s.stage === 'called' && stage !== 'called') alertVisitor();
    stage = s.stage;
  }

  function fetchOnce() {
    fetch('/api/v1/status/' + encodeURIComponent(code) + '?lang=' + encodeURIComponent(lang),
          { cache: 'no-store' })
      .then(function (r) { return r.ok ? r.json() : null; })
      .then(show)
      .catch(function () {});
  }

  function live(on) {
    setText('live', on ? body.dataset.live : body.dataset.offline);
    if (on) {
      if (poll) { clearInterval(poll); poll = null; }
    } else if (!poll) {
      poll = setInterval(fetchOnce, 15000);
    }
  }

  function connect() {
    var proto = location.protocol === 'https:' ? 'wss:' : 'ws:';
    var ws;
    try {
      ws = new WebSocket(proto + '//' + location.host + '/ws/t/' + encodeURIComponent(code) +
                         '?lang=' + encodeURIComponent(lang));
    } catch (e) { live(false); return; }
    ws.onopen = function () { retry = 1000; live(true); };
    ws.onmessage = function (e) {
      try { show(JSON.parse(e.data)); } catch (x) { /* a word we do not know */ }
    };
    ws.onclose = function () {
      live(false);
      setTimeout(connect, retry);
      retry = Math.min(retry * 2, 30000);
    };
  }

  if (stage === 'called') offerSound();
  if ('WebSocket' in window) connect(); else live(false);
})();
