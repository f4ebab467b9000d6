/*
 * grafview.js: the chart component of the VexnorScript visualization pages.
 *
 * The pages name their charts in <applet> elements (bar0, bar1, ... on the
 * summary page, gtable on a result page) and talk to them through getId,
 * get, put and getCount. No current browser runs applets, so this script
 * gives those elements the same calls, reads the data files the pages name
 * and draws the progress bars and the result chart itself; the chart is
 * drawn with the uPlot library copied beside the pages.
 *
 * Kept to ASCII: the pages are Shift-JIS and a browser reads this script in
 * the encoding of the page that loads it.
 */
(function () {
  'use strict';

  // The ids getId hands out: the table of values read from the data file,
  // and the value slot of a bar.
  var TABLE_ID = 0;
  var SLOT_ID = 1;

  // How often the data files are read again. The summary page moves its
  // bars once a second, so a change of the progress log shows within
  // about one and a quarter seconds; the result chart follows a running
  // tuning more slowly.
  var BAR_POLL_MS = 250;
  var CHART_POLL_MS = 2000;

  var scriptUrl = document.currentScript ? document.currentScript.src : 'grafview.js';

  // ---- data files -------------------------------------------------------

  function fetchText(url) {
    return fetch(url, { cache: 'no-store' }).then(function (response) {
      return response.ok ? response.text() : null;
    }, function () {
      return null;
    });
  }

  // The file names a web server's folder listing links to (the listing of
  // python3 -m http.server, for example).
  function folderListing() {
    return fetchText(new URL('./', document.baseURI).href).then(function (html) {
      var names = [];
      var pattern = /href\s*=\s*"([^"?#]*)"/gi;
      var match;
      while (html && (match = pattern.exec(html)) !== null) {
        try {
          names.push(decodeURIComponent(match[1]));
        } catch (e) {
          // A link that is no valid escaped name names none of our files.
        }
      }
      return names;
    });
  }

  // A data file named relative to the page. The name may differ in letter
  // case from the file on disk (a result page names VEXNORATLog_<name>.dat
  // while the generated program writes VexnorATLog_<name>.dat), so when the
  // name as given is not found the folder listing is searched ignoring
  // case, and last the spelling the generated program uses is tried.
  function DataFile(name) {
    this.name = name;
    this.url = null;  // where it was last found
  }

  DataFile.prototype.read = function () {
    var self = this;
    var given = new URL(this.name, document.baseURI).href;
    return fetchText(this.url || given).then(function (text) {
      if (text !== null) {
        self.url = self.url || given;
        return text;
      }
      self.url = null;
      return self.findIgnoringCase();
    });
  };

  DataFile.prototype.findIgnoringCase = function () {
    var self = this;
    var wanted = this.name.toLowerCase();
    return folderListing().then(function (names) {
      var candidates = names.filter(function (n) {
        return n.toLowerCase() === wanted && n !== self.name;
      });
      if (/^vexnoratlog/i.test(self.name)) {
        candidates.push('VexnorATLog' + self.name.substring('VexnorATLog'.length));
      }
      return tryEach(candidates);
    });

    function tryEach(list) {
      if (list.length === 0) {
        return null;
      }
      var url = new URL(list[0], document.baseURI).href;
      return fetchText(url).then(function (text) {
        if (text !== null) {
          self.url = url;
          return text;
        }
        return tryEach(list.slice(1));
      });
    }
  };

  // A Fortran number as list-directed or D-format output writes it
  // ("1.25D-03", "0.1234567890+100", "  42"); NaN when it is none.
  function fortranNumber(text) {
    var t = text.replace(/[dD]/, 'E');
    var bare = /^([-+]?\d*\.?\d+)([-+]\d+)$/.exec(t);
    if (bare) {
      t = bare[1] + 'E' + bare[2];
    }
    return t === '' ? NaN : Number(t);
  }

  // The records of a data file, one per line, blank records included: the
  // stubs' "value,label" lines and the generated program's list-directed
  // records ("  value  label", "  value", or nothing for a case that was
  // not measured). A record's value is its first field, a number where it
  // is one, '' for a blank record.
  function parseRecords(text) {
    var lines = text.split(/\r\n|\n|\r/);
    if (lines.length > 0 && lines[lines.length - 1] === '') {
      lines.pop();  // the end of the last line, not a record
    }
    return lines.map(function (line) {
      var trimmed = line.trim();
      if (trimmed === '') {
        return '';
      }
      var first = trimmed.split(/[\s,]+/)[0];
      var value = fortranNumber(first);
      return isNaN(value) ? first : value;
    });
  }

  // The fitted coefficients per case, highest power first: every record
  // holds the case number and then the coefficients, in blank-separated
  // D-format fields.
  function parseFit(text) {
    var fits = {};
    text.split(/\r\n|\n|\r/).forEach(function (line) {
      var fields = line.trim().split(/\s+/).map(fortranNumber);
      if (fields.length >= 2 && fields.every(isFinite)) {
        fits[Math.round(fields[0])] = fields.slice(1);
      }
    });
    return fits;
  }

  function polynomial(coefficients, x) {
    var y = 0;
    for (var k = 0; k < coefficients.length; k++) {
      y = y * x + coefficients[k];
    }
    return y;
  }

  // "key=value" lines of a chart's settings file (its data folder's 00.bin).
  function parseSettings(text) {
    var settings = {};
    (text || '').split(/\r\n|\n|\r/).forEach(function (line) {
      var eq = line.indexOf('=');
      if (line.charAt(0) !== '#' && eq > 0) {
        settings[line.substring(0, eq).trim()] = line.substring(eq + 1).trim();
      }
    });
    return settings;
  }

  // ---- the chart elements -----------------------------------------------

  function readParams(element) {
    var params = {};
    var list = element.getElementsByTagName('param');
    for (var i = 0; i < list.length; i++) {
      var name = list[i].getAttribute('name');
      if (name) {
        params[name.toLowerCase()] = list[i].getAttribute('value') || '';
      }
    }
    return params;
  }

  function sizeOf(value, fallback) {
    if (!value) {
      return fallback;
    }
    return /%$/.test(value) ? value : parseInt(value, 10) + 'px';
  }

  function Chart(element) {
    this.element = element;
    this.params = readParams(element);
    this.records = null;  // the table read from FILENAME
    this.text = null;
    this.fitText = null;  // the fitted coefficients' file, when there is one
    this.loaded = false;  // the data files were read once
    this.value = 0;       // a bar's value slot
    this.settings = {};
    var folder = this.params.foldername || '';
    this.isBar = !/^gtable/i.test(folder);
    if (folder) {
      var self = this;
      fetchText(new URL(folder + '/00.bin', document.baseURI).href).then(function (text) {
        self.settings = parseSettings(text);
        self.draw();
      });
    }
    element.getId = function (name) {
      return /@p$/i.test(String(name)) ? SLOT_ID : TABLE_ID;
    };
    var chart = this;
    element.get = function (id, i) {
      return chart.get(id, i);
    };
    element.put = function (id, v) {
      chart.put(id, v);
    };
    element.getCount = function (id) {
      return chart.count(id);
    };
  }

  Chart.prototype.get = function (id, i) {
    if (id === SLOT_ID) {
      return this.value;
    }
    return this.records ? this.records[i] : undefined;
  };

  Chart.prototype.put = function (id, v) {
    if (id === SLOT_ID) {
      this.value = Number(v);
      this.draw();
    }
  };

  // Every record counts as a value and its label, blank records too: the
  // result page takes half the count less the five header records as its
  // number of data rows.
  Chart.prototype.count = function (id) {
    if (id === SLOT_ID) {
      return 1;
    }
    return this.records ? 2 * this.records.length : 0;
  };

  Chart.prototype.start = function () {
    var self = this;
    var element = this.element;
    element.style.display = 'block';
    element.style.width = sizeOf(element.getAttribute('width'), '100%');
    if (this.isBar) {
      this.buildBar();
    } else {
      element.style.margin = '0 auto';
      element.style.textAlign = 'left';
    }
    var poll = this.isBar ? BAR_POLL_MS : CHART_POLL_MS;
    var files = [];
    if (this.params.filename) {
      files.push(new DataFile(this.params.filename));
    }
    var fitFile = this.params.lsmfilename ? new DataFile(this.params.lsmfilename) : null;
    if (files.length === 0 && !fitFile) {
      this.loaded = true;
      this.draw();
      return;
    }
    var busy = false;
    function refresh() {
      if (busy) {
        return;
      }
      busy = true;
      Promise.all([
        files.length ? files[0].read() : Promise.resolve(null),
        fitFile ? fitFile.read() : Promise.resolve(null)
      ]).then(function (texts) {
        busy = false;
        var changed = texts[0] !== self.text || texts[1] !== self.fitText;
        self.text = texts[0];
        self.fitText = texts[1];
        self.records = texts[0] === null ? null : parseRecords(texts[0]);
        if (changed || !self.loaded) {
          self.loaded = true;
          self.draw();
        }
      }, function () {
        busy = false;
      });
    }
    refresh();
    window.setInterval(refresh, poll);
  };

  // ---- progress bars ----------------------------------------------------

  Chart.prototype.buildBar = function () {
    var track = document.createElement('div');
    track.className = 'grafview-bar';
    track.setAttribute('role', 'progressbar');
    track.setAttribute('aria-valuemin', '0');
    track.setAttribute('aria-valuemax', '100');
    track.style.cssText = 'position:relative;height:14px;min-width:60px;overflow:hidden;' +
      'border:1px solid #9aa5b1;border-radius:2px;background:#e6ecf4;font:11px/14px sans-serif;';
    var fill = document.createElement('div');
    fill.style.cssText = 'position:absolute;left:0;top:0;bottom:0;width:0;background:#2f7ed8;';
    var label = document.createElement('span');
    label.className = 'grafview-bar-label';
    label.style.cssText = 'position:relative;display:block;text-align:center;color:#111;';
    track.appendChild(fill);
    track.appendChild(label);
    this.element.appendChild(track);
    this.bar = { track: track, fill: fill, label: label };
  };

  Chart.prototype.drawBar = function () {
    var bar = this.bar;
    if (!bar) {
      return;
    }
    if (this.settings.fill) {
      bar.fill.style.background = this.settings.fill;
    }
    if (this.settings.track) {
      bar.track.style.background = this.settings.track;
    }
    var v = this.value;
    if (!isFinite(v)) {
      bar.fill.style.width = '0';
      bar.label.textContent = '-';
      bar.track.removeAttribute('aria-valuenow');
      bar.track.removeAttribute('data-value');
      return;
    }
    var clamped = Math.max(0, Math.min(1, v));
    bar.fill.style.width = (clamped * 100) + '%';
    bar.label.textContent = Math.round(v * 100) + '%';
    bar.track.setAttribute('aria-valuenow', String(Math.round(v * 100)));
    bar.track.setAttribute('data-value', String(v));
  };

  // ---- the result chart -------------------------------------------------

  var library = null;

  // Loads uPlot from beside this script once; resolves to the library or
  // to null when it cannot be had.
  function loadLibrary() {
    if (library) {
      return library;
    }
    library = new Promise(function (resolve) {
      if (window.uPlot) {
        resolve(window.uPlot);
        return;
      }
      var css = document.createElement('link');
      css.rel = 'stylesheet';
      css.href = new URL('uPlot.min.css', scriptUrl).href;
      document.head.appendChild(css);
      var script = document.createElement('script');
      script.src = new URL('uPlot.iife.min.js', scriptUrl).href;
      script.onload = function () {
        resolve(window.uPlot || null);
      };
      script.onerror = function () {
        resolve(null);
      };
      document.head.appendChild(script);
    });
    return library;
  }

  function caseColour(c, cases) {
    return 'hsl(' + Math.round(360 * c / Math.max(cases, 1)) + ',70%,42%)';
  }

  // The sub region (from 1) of a case (from 1), from the running totals
  // of the sub regions' case counts; 0 without sub regions.
  function subRegionOf(caseNo, totals) {
    for (var s = 0; s < totals.length; s++) {
      if (caseNo <= totals[s]) {
        return s + 1;
      }
    }
    return 0;
  }

  // The measured time of every case per problem size, in the row order of
  // the region log: row r is case r mod CaseCount + 1 at problem size
  // floor(r / CaseCount) * SampDist + StartTuneSize.
  Chart.prototype.chartData = function () {
    var records = this.records || [];
    var cases = parseInt(this.params.casecount, 10);
    if (!(cases > 0)) {
      cases = 1;
    }
    var start = Number(records[1]) || 0;
    var dist = Number(records[3]) || 0;
    var rows = Math.max(0, records.length - 5);
    var sizes = [];
    var bySize = {};
    for (var r = 0; r < rows; r++) {
      var n = Math.floor(r / cases) * dist + start;
      if (!bySize[n]) {
        bySize[n] = [];
        sizes.push(n);
      }
      var v = records[r + 5];
      bySize[n][r % cases] = typeof v === 'number' ? v : null;
    }
    var fits = this.fitText ? parseFit(this.fitText) : {};
    var hasFit = Object.keys(fits).length > 0 && sizes.length > 0;
    var xs = sizes.slice();
    if (hasFit && sizes.length > 1) {
      var lo = Math.min.apply(null, sizes);
      var hi = Math.max.apply(null, sizes);
      for (var k = 0; k <= 40; k++) {
        xs.push(lo + (hi - lo) * k / 40);
      }
    }
    xs = xs.filter(function (x, i) {
      return xs.indexOf(x) === i;
    }).sort(function (a, b) {
      return a - b;
    });
    var totals = (this.params.subcaseidx || '').split(',').map(Number).filter(isFinite);
    var series = [{ label: 'N' }];
    var data = [xs];
    for (var c = 0; c < cases; c++) {
      var sub = subRegionOf(c + 1, totals);
      var label = 'Case ' + (c + 1) + (sub ? ' (sub region ' + sub + ')' : '');
      series.push({ label: label, stroke: caseColour(c, cases), width: 1.5, spanGaps: true,
                    points: { show: true, size: 5 } });
      data.push(xs.map(function (x) {
        var at = bySize[x];
        var value = at ? at[c] : undefined;
        return value === undefined ? null : value;
      }));
    }
    Object.keys(fits).sort(function (a, b) {
      return a - b;
    }).forEach(function (caseNo) {
      var coefficients = fits[caseNo];
      series.push({ label: 'Case ' + caseNo + ' fitted', stroke: caseColour(caseNo - 1, cases),
                    width: 1, dash: [6, 4], points: { show: false } });
      data.push(xs.map(function (x) {
        return polynomial(coefficients, x);
      }));
    });
    return { rows: rows, series: series, data: data };
  };

  Chart.prototype.drawChart = function () {
    var self = this;
    var element = this.element;
    var width = parseInt(element.getAttribute('width'), 10) || 640;
    var height = parseInt(element.getAttribute('height'), 10) || 510;
    if (!this.box) {
      this.box = document.createElement('div');
      this.box.className = 'grafview-chart';
      this.box.style.cssText = 'width:' + width + 'px;min-height:' + height + 'px;' +
        'font:12px sans-serif;';
      element.appendChild(this.box);
    }
    var chart = this.chartData();
    if (chart.rows === 0) {
      this.showNote(this.records === null
        ? 'The region log ' + this.params.filename + ' could not be read.'
        : 'No measurements yet: the region log holds only its header.');
      return;
    }
    loadLibrary().then(function (uPlot) {
      if (!uPlot) {
        self.showNote('The charting library uPlot.iife.min.js is missing beside this page.');
        return;
      }
      if (self.plot) {
        self.plot.destroy();
      }
      self.box.textContent = '';
      self.plot = new uPlot({
        width: width,
        height: Math.max(200, height - 110),
        scales: { x: { time: false } },
        axes: [
          { label: self.settings.xlabel || 'Problem size N' },
          { label: self.settings.ylabel || 'Time [s]', size: 70 }
        ],
        series: chart.series
      }, chart.data, self.box);
    });
  };

  Chart.prototype.showNote = function (text) {
    if (this.plot) {
      this.plot.destroy();
      this.plot = null;
    }
    this.box.textContent = '';
    var note = document.createElement('p');
    note.className = 'grafview-note';
    note.style.cssText = 'padding:2em;text-align:center;color:#555;';
    note.textContent = text;
    this.box.appendChild(note);
  };

  Chart.prototype.draw = function () {
    if (this.isBar) {
      this.drawBar();
    } else if (this.loaded) {
      this.drawChart();
    }
  };

  // ---- the page ---------------------------------------------------------

  // Opened from the file system the page cannot read its data files: say
  // how to serve the folder instead.
  function showServeHint() {
    var path = decodeURIComponent(location.pathname);
    var slash = path.lastIndexOf('/');
    var folder = path.substring(0, slash + 1) || '/';
    var page = path.substring(slash + 1);
    var hint = document.createElement('div');
    hint.className = 'grafview-serve-hint';
    hint.style.cssText = 'margin:8px;padding:8px 12px;border:1px solid #d9a400;' +
      'background:#fff8db;font:14px sans-serif;';
    var intro = document.createElement('p');
    intro.textContent = 'The charts read their data files through a web server, which a page ' +
      'opened as a file cannot do. In the folder ' + folder + ' run';
    var command = document.createElement('pre');
    command.textContent = 'python3 -m http.server 8000';
    var open = document.createElement('p');
    open.textContent = 'and open http://localhost:8000/' + page + ' in the browser.';
    hint.appendChild(intro);
    hint.appendChild(command);
    hint.appendChild(open);
    document.body.insertBefore(hint, document.body.firstChild);
  }

  function install() {
    var elements = Array.prototype.slice.call(document.getElementsByTagName('applet'));
    var charts = elements.map(function (element) {
      var name = element.getAttribute('name');
      var chart = new Chart(element);
      if (name) {
        document[name] = element;
        window[name] = element;
      }
      return chart;
    });
    Object.defineProperty(document, 'applets', {
      configurable: true,
      get: function () {
        return elements;
      }
    });
    if (location.protocol === 'file:') {
      showServeHint();
    }
    charts.forEach(function (chart) {
      chart.start();
    });
  }

  if (document.readyState === 'loading') {
    document.addEventListener('DOMContentLoaded', install);
  } else {
    install();
  }
})();
