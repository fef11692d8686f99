#pragma once
// The scripts a pane runs in its page, with their placeholders (%1...).
namespace mushaf::pane_scripts {

// Writes a whole document into the pane's page, as document.open and
// document.write, and then prepares it: the pane's rendering rules go into an
// adopted style sheet (so the document stays as written), and with clicks
// on, a click on a link is reported and does not navigate.
//
// A long document (a list of found lines) is written in two parts: the part
// that fills the pane first, then, once that part has been given a frame,
// the rest. The reader sees the top of the list while the rest is parsed and
// laid out; the tree is the one a single write makes, since the parser takes
// written text as it comes. The page reports the end of the second part
// (a hidden page draws no frames and is written at once). A document that
// keeps the reader's place (the same list again) is written whole, and the
// view goes back to where it was.
inline const char* kWriteScript = R"JS(
(function (head, rest, style, clicks, token, keep, inView) {
  var place = window.scrollY;
  document.open();
  window.scrollTo(0, 0);  // the view keeps its place through open; a new document starts at its top
  document.write(head);
  try {
    var sheet = new CSSStyleSheet();
    sheet.replaceSync(style);
    document.adoptedStyleSheets = [sheet];
  } catch (e) {}
  // With rows (clicks 2), a click beside the links of a list of rows is a
  // click on the link of its row: the last link that starts above it, if the
  // click is no lower than that link's line.
  function rowLink(y) {
    var links = document.links, lo = 0, hi = links.length - 1, found = null;
    while (lo <= hi) {
      var mid = (lo + hi) >> 1;
      if (links[mid].getBoundingClientRect().top <= y) { found = links[mid]; lo = mid + 1; } else hi = mid - 1;
    }
    if (!found) return null;
    var r = found.getBoundingClientRect();
    return y <= r.bottom + r.height / 2 ? found : null;
  }
  // A new size of the view (the window's, or the text's) keeps the element
  // shown in view; the document growing or a font arriving moves nothing.
  if (window.mushafKeepInView) window.mushafKeepInView.disconnect();
  window.mushafKeepInView = null;
  if (inView && window.ResizeObserver) {
    var size = [innerWidth, innerHeight, devicePixelRatio].join();
    window.mushafKeepInView = new ResizeObserver(function () {
      var now = [innerWidth, innerHeight, devicePixelRatio].join();
      if (now === size) return;
      size = now;
      var e = document.querySelector(inView);
      if (e) e.scrollIntoView({block: 'nearest'});
    });
    window.mushafKeepInView.observe(document.documentElement);
  }
  // Up and Down move the focus from link to link (from the first or last
  // link in view when none has it); Return on a link clicks it.
  if (clicks) {
    document.addEventListener('keydown', function (e) {
      if ((e.key !== 'ArrowDown' && e.key !== 'ArrowUp') || e.ctrlKey || e.altKey || e.metaKey || e.shiftKey) return;
      var links = Array.prototype.slice.call(document.links), down = e.key === 'ArrowDown';
      if (!links.length) return;
      var at = links.indexOf(document.activeElement), to;
      if (at >= 0) to = at + (down ? 1 : -1);
      else {
        var seen = links.filter(function (a) {
          var r = a.getBoundingClientRect();
          return r.bottom > 0 && r.top < innerHeight;
        });
        to = links.indexOf(seen.length ? seen[down ? 0 : seen.length - 1] : links[0]);
      }
      if (to < 0 || to >= links.length) return;
      e.preventDefault();
      links[to].focus({preventScroll: true});
      links[to].scrollIntoView({block: 'nearest'});
    }, true);
    document.addEventListener('click', function (e) {
      var link = e.target && e.target.closest ? e.target.closest('a') : null;
      // In a page drawn as a mushaf, a click on an ayah's words is a click
      // on its number.
      if (!link && e.target && e.target.closest) {
        var ayah = e.target.closest('.Mushaf > div[id]');
        if (ayah) link = ayah.querySelector('a');
      }
      // an extract under a row is a click on its row
      if (!link && e.target && e.target.closest) {
        var extract = e.target.closest('.Extract');
        if (extract) link = document.getElementById(extract.getAttribute('data-for'));
      }
      if (!link && clicks === 2) link = rowLink(e.clientY);
      var el = link || e.target;
      if (link) e.preventDefault();
      console.log('\x01mushaf-click\x01' + ((el && el.tagName) || '') + '\x01' + ((el && el.id) || ''));
    }, true);
  }
  function end() {
    document.close();
    if (keep) window.scrollTo(0, place);
  }
  if (token === 0) return end();
  var written = false;
  function finish() {
    if (written) return;
    written = true;
    document.write(rest);
    end();
    console.log('\x01mushaf-written\x01' + token);
  }
  if (document.visibilityState !== 'visible') return finish();
  requestAnimationFrame(function () { setTimeout(finish, 0); });
  setTimeout(finish, 200);
})(%1, %2, %3, %4, %5, %6, %7)
)JS";

// The words of a line (or a translation's), each in a span of its own,
// wrapped once: the text directly in the line, split at white space (its
// number, signs and marks stay as they are). The scripts that work on words
// begin with it.
inline const char* kWordsFunction = R"JS(
function mushafWordsOf(d) {
  if (d.mushafWords) return d.mushafWords;
  var list = [];
  Array.prototype.slice.call(d.childNodes).forEach(function (t) {
    if (t.nodeType !== 3) return;
    var part = document.createDocumentFragment();
    t.nodeValue.split(/(\s+)/).forEach(function (p) {
      if (!p) return;
      if (/^\s+$/.test(p)) { part.appendChild(document.createTextNode(p)); return; }
      var w = document.createElement('span');
      w.textContent = p;
      part.appendChild(w);
      list.push(w);
    });
    d.replaceChild(part, t);
  });
  d.mushafWords = list;
  return list;
}
)JS";

// Memorisation: the words of the page's lines from line %1 on are hidden
// in their places, but the first %2 words of line %1; -1 shows every word.
inline const char* kHifzScript = R"JS(
(function (from, words) {
  var lines = document.querySelectorAll('div[id^="div"]');
  for (var i = 0; i < lines.length; i++) {
    var d = lines[i], n = parseInt(d.id.substring(3), 10), list = mushafWordsOf(d);
    for (var k = 0; k < list.length; k++)
      list[k].style.visibility = from < 0 || n < from || (n === from && k < words) ? '' : 'hidden';
  }
  return null;
})(%1, %2)
)JS";

// What a search found: the words marked before lose their mark, and the
// words %1 names (a selector of a line to the indices of its words) take it.
// Returns how many words are marked.
inline const char* kFoundScript = R"JS(
(function (found) {
  var old = document.querySelectorAll('.Found');
  for (var i = 0; i < old.length; i++) old[i].classList.remove('Found');
  var marked = 0;
  Object.keys(found).forEach(function (selector) {
    var d = document.querySelector(selector);
    if (!d) return;
    var list = mushafWordsOf(d);
    found[selector].forEach(function (k) {
      if (list[k]) { list[k].classList.add('Found'); marked++; }
    });
  });
  return marked;
})(%1)
)JS";

// The mushaf page fitted to the pane: its text takes the size at which the
// whole page (or both pages of a spread) shows, head to foot, at the pane's
// own text size 1 (%1 is the pane's text size now). The page as it stands
// (at the last page's size) is laid out once and measured (its blocks grow
// with the size, its running text with its square, and a line is kept
// spare), then takes the size it needs: two layouts, or one where the last
// page's size serves this one too. Only a size far from
// the last (the first page, a new size of the pane) is looked at once more
// and made smaller if it still runs over (window.mushafFitChecks counts
// these). A larger text size draws the page larger, scrolling under its head
// and foot. A new size of the pane (the window's, or its text's) fits the
// page again and keeps the marked ayah in view.
inline const char* kFitScript = R"JS(
(function (zoom) {
  var root = document.documentElement;
  window.mushafFitBase = devicePixelRatio / zoom;
  function number(v) { return parseFloat(v) || 0; }
  function fit() {
    var z0 = window.mushafLastFit || 1, best = measure(z0);
    if (best === null) return window.mushafLastFit;
    var z = chosen(best, z0);
    set(z);
    if (Math.abs(z - z0) > 0.1 * z0) {
      window.mushafFitChecks = (window.mushafFitChecks || 0) + 1;
      var over = document.scrollingElement.scrollHeight / innerHeight;
      if (over > 1.001) {
        window.mushafFitShrinks = (window.mushafFitShrinks || 0) + 1;
        set(Math.max(0.1, z / Math.sqrt(over) * 0.97));
      }
    }
    return window.mushafLastFit;
  }
  // The last page's size where it fits and nearly fills the pane (its layout
  // is the one measured, its words are shaped); else the size on a grid of 2%
  // steps just below the best, which pages of like length share.
  function chosen(best, z0) {
    if (z0 <= best && z0 >= best * 0.97) return z0;
    return Math.pow(1.02, Math.floor(Math.log(best) / Math.log(1.02) + 1e-9));
  }
  function set(z) {
    window.mushafLastFit = z;
    root.style.setProperty('--fit', z);
  }
  function measure(z0) {
    var pages = document.querySelectorAll('.MushafPage');
    if (!pages.length) return null;
    var f = devicePixelRatio / window.mushafFitBase, x = Infinity;
    root.style.setProperty('--fit', z0);
    for (var i = 0; i < pages.length; i++) {
      var body = pages[i].querySelector('.Mushaf'), head = pages[i].querySelector('.PageHead');
      var foot = pages[i].querySelector('.PageFoot'), blocks = 0, line = 0;
      for (var c = body.firstElementChild; c; c = c.nextElementSibling) {
        var st = getComputedStyle(c);
        if (st.display === 'inline') {
          if (!line) line = number(st.lineHeight) || c.offsetHeight;
          continue;
        }
        blocks += c.offsetHeight + number(st.marginTop) + number(st.marginBottom);
      }
      var avail = innerHeight - head.offsetHeight - number(getComputedStyle(head).marginBottom) - foot.offsetHeight -
                  number(getComputedStyle(foot).marginTop) - 4;
      var grows = (blocks + line + 8) * z0, squares = Math.max(0, body.offsetHeight - blocks) * z0;
      var here = squares > 0 ? (Math.sqrt(grows * grows + 4 * squares * avail) - grows) / (2 * squares) : avail / grows;
      x = Math.min(x, here);
    }
    return Math.max(0.1, Math.min(2.5, z0 * x * f));
  }
  if (window.mushafFitter) window.mushafFitter.disconnect();
  window.mushafFitter = null;
  if (window.ResizeObserver) {
    var size = [innerWidth, innerHeight, devicePixelRatio].join();
    window.mushafFitter = new ResizeObserver(function () {
      var now = [innerWidth, innerHeight, devicePixelRatio].join();
      if (now === size) return;
      size = now;
      fit();
      var e = document.querySelector('.NoEarabSelect, .NoEarabBesmSelect');
      if (e) e.scrollIntoView({block: 'nearest'});
    });
    window.mushafFitter.observe(root);
  }
  // the page's font, the first time it is used, comes after the first layout
  if (document.fonts && document.fonts.status !== 'loaded') document.fonts.ready.then(function () { fit(); });
  return fit();
})(%1)
)JS";

}  // namespace mushaf::pane_scripts
