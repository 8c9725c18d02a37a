// Lets the C++ side listen to DOM events: each event goes to one function it exports by name.
Module['listen'] = (target, type, handler) =>
    target.addEventListener(type, (event) => Module[handler](event));
// After main: the window is built and the capture box has the focus.
Module['postRun'] = [() => {
  performance.mark('zentrovax-ready');
  document.body.setAttribute('data-ready', '');
}];
