// Runs in a script world of the program's own, in every frame: the page
// cannot see or change it. It reports to the program whether this frame is
// finished: its document complete, its fonts loaded, no web worker message
// unanswered, whether it has asked for an animation frame, and when its last
// animation frame and worker message ran.
// The report is "FRAME FLAGS FRAME-AGO WORK-AGO" (see PageActivity.h).
(function () {
  'use strict';
  var tag = 'QV_TAG';
  var handlers = window.webkit && window.webkit.messageHandlers;
  var handler = handlers && handlers.QV_HANDLER;
  if (!handler)
    return;
  var id = Math.random().toString(36).slice(2, 12) + Math.random().toString(36).slice(2, 12);
  var busy = false, gone = false, framePending = false;
  var lastFrame = -1, lastWork = -1, timer = 0;
  var told = {f: -1e9, r: -1e9};
  var now = function () { return performance.now(); };
  var ago = function (time, at) { return time < 0 ? -1 : Math.max(0, Math.round(at - time)); };

  var send = function () {
    if (timer)
      clearTimeout(timer);
    timer = 0;
    var at = now();
    var fonts = document.fonts && document.fonts.status === 'loading';
    var flags = (busy ? 'w' : '') + (fonts ? 'f' : '') + (document.readyState !== 'complete' ? 'd' : '') +
                (gone ? 'g' : '') + (framePending ? 'a' : '');
    try {
      handler.postMessage(id + ' ' + (flags || '-') + ' ' + ago(lastFrame, at) + ' ' + ago(lastWork, at));
    } catch (e) {
      // The frame is being torn down; nobody is listening any more.
    }
  };
  // Frames and worker messages, which may come by the hundred, are told at
  // most every 50 ms each, the last one always (a report says how long ago
  // it was); a change of state at once.
  var tell = function (kind) {
    var at = now();
    if (at - told[kind] >= 50) {
      told[kind] = at;
      send();
    } else if (!timer) {
      timer = setTimeout(send, 50);
    }
  };

  addEventListener(tag + 'a', function () { framePending = true; send(); });
  addEventListener(tag + 'f', function () { framePending = false; lastFrame = now(); tell('f'); });
  addEventListener(tag + 'F', function () { framePending = true; lastFrame = now(); tell('f'); });
  addEventListener(tag + 'r', function () { lastWork = now(); tell('r'); });
  addEventListener(tag + 'b', function () { busy = true; lastWork = now(); send(); });
  addEventListener(tag + 'i', function () { busy = false; lastWork = now(); send(); });
  document.addEventListener('readystatechange', send);
  if (document.fonts) {
    document.fonts.addEventListener('loading', send);
    document.fonts.addEventListener('loadingdone', send);
    document.fonts.addEventListener('loadingerror', send);
  }
  addEventListener('pagehide', function () { gone = true; send(); });
  addEventListener('pageshow', function () { gone = false; send(); });
  send();
})();
