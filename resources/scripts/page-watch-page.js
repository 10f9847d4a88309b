// Runs in the page's own world, in every frame, before the page's scripts.
// It tells the watcher (page-watch-watcher.js, in a world of its own) when
// the page asks for an animation frame, when its callbacks run and when the
// page's web workers have messages they have not answered. Everything it keeps is in this closure:
// the page sees no new names, and its own calls behave as before. The
// watcher listens for events of a type the page does not know (QV_TAG).
(function () {
  'use strict';
  var tag = 'QV_TAG';
  var win = window;
  var apply = Reflect.apply;
  var dispatch = EventTarget.prototype.dispatchEvent;
  var listen = EventTarget.prototype.addEventListener;
  var EventType = Event;
  var say = function (kind) { apply(dispatch, win, [new EventType(tag + kind)]); };

  // Swaps a function property for `wrapper`, keeping its attributes.
  var replace = function (owner, name, wrapper) {
    var old = Object.getOwnPropertyDescriptor(owner, name);
    if (!old || typeof old.value !== 'function')
      return;
    Object.defineProperty(owner, name, {
      value: wrapper, writable: old.writable, enumerable: old.enumerable, configurable: old.configurable
    });
  };

  // Frames asked for and not yet run: a page about to draw. "a" says one
  // was asked for; at the end of every callback "F" says more are asked
  // for, "f" that none is.
  var frame = win.requestAnimationFrame;
  var cancelFrame = win.cancelAnimationFrame;
  var pending = new Set();
  var inFrame = 0;
  var frameEnded = function () { say(pending.size ? 'F' : 'f'); };
  if (typeof frame === 'function') {
    replace(win, 'requestAnimationFrame', {
      requestAnimationFrame: function (callback) {
        if (typeof callback !== 'function')
          return apply(frame, this == null ? win : this, arguments);
        var id;
        id = apply(frame, this == null ? win : this, [function () {
          pending.delete(id);
          ++inFrame;
          try {
            return apply(callback, this, arguments);
          } finally {
            --inFrame;
            frameEnded();
          }
        }]);
        pending.add(id);
        if (!inFrame && pending.size === 1)
          say('a');
        return id;
      }
    }.requestAnimationFrame);
  }
  if (typeof cancelFrame === 'function') {
    replace(win, 'cancelAnimationFrame', {
      cancelAnimationFrame: function (id) {
        var result = apply(cancelFrame, this == null ? win : this, arguments);
        if (pending.delete(id) && !pending.size && !inFrame)
          say('f');
        return result;
      }
    }.cancelAnimationFrame);
  }

  var Worker = win.Worker;
  if (typeof Worker === 'function' && Worker.prototype) {
    var post = Worker.prototype.postMessage;
    var terminate = Worker.prototype.terminate;
    var watched = new WeakSet();
    var waiting = new WeakSet();
    var busy = 0;
    var answered = function (worker) {
      if (waiting.has(worker)) {
        waiting.delete(worker);
        if (--busy === 0)
          say('i');
      }
    };
    var watch = function (worker) {
      if (watched.has(worker))
        return;
      watched.add(worker);
      var onAnswer = function () {
        answered(worker);
        say('r');
      };
      apply(listen, worker, ['message', onAnswer]);
      apply(listen, worker, ['error', onAnswer]);
    };
    replace(Worker.prototype, 'postMessage', {
      postMessage: function () {
        // A call the browser refuses throws as before and counts for nothing.
        var result = apply(post, this, arguments);
        watch(this);
        if (!waiting.has(this)) {
          waiting.add(this);
          if (busy++ === 0)
            say('b');
        }
        say('r');
        return result;
      }
    }.postMessage);
    replace(Worker.prototype, 'terminate', {
      terminate: function () {
        var result = apply(terminate, this, arguments);
        answered(this);
        return result;
      }
    }.terminate);
  }
})();
